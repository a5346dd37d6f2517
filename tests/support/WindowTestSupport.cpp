#include "tests/support/WindowTestSupport.h"

#include "modfiles/ModSettings.h"
#include "startup/StartUp.h"
#include "windows/EditorContext.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

namespace TestSupport {

namespace {

// The place of every control in the window's form, relative to its parent as the form gives it, and the window's
// own size under its own name. The forms give every widget its geometry first, as the form editor writes them.
QMap<QString, QRect> FormPlaces(const QString& form)
{
    static const QRegularExpression place(QString::fromLatin1(
        R"ui(<widget [^>]*name="(\w+)">\s*<property name="geometry">\s*<rect>\s*<x>(-?\d+)</x>\s*<y>(-?\d+)</y>)ui"
        R"ui(\s*<width>(\d+)</width>\s*<height>(\d+)</height>)ui"));
    QMap<QString, QRect> places;
    const QString text =
        QString::fromUtf8(readBytes(QStringLiteral(GX_SOURCE_DIR "/windows/") + form + QStringLiteral(".ui")));
    for (const QRegularExpressionMatch& match : place.globalMatch(text))
        places.insert(match.captured(1), QRect(match.captured(2).toInt(), match.captured(3).toInt(),
                                               match.captured(4).toInt(), match.captured(5).toInt()));
    return places;
}

} // namespace

QWidget* findControl(const QWidget* window, const char* name)
{
    auto* control = window->findChild<QWidget*>(QLatin1String(name));
    if (!control)
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + QLatin1String(name)), __FILE__, __LINE__);
    return control;
}

QStringList misplacedControls(const QWidget* window, const QStringList& hidden, const QStringList& sliding)
{
    const QMap<QString, QRect> places = FormPlaces(window->objectName());
    if (places.isEmpty())
        return {QStringLiteral("no form for ") + window->objectName()};
    QStringList wrong;
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        const QWidget* control = window->findChild<QWidget*>(it.key());
        if (it.key() == window->objectName()) {
            if (window->size() != it.value().size())
                wrong.append(it.key() + QStringLiteral(" resized"));
        } else if (!control) {
            wrong.append(it.key() + QStringLiteral(" missing"));
        } else if (sliding.contains(it.key()) ? control->size() != it.value().size() || control->y() != it.value().y()
                                              : control->geometry() != it.value()) {
            wrong.append(it.key() + QStringLiteral(" moved"));
        } else if (control->isVisibleTo(window) == hidden.contains(it.key())) {
            wrong.append(it.key() + (hidden.contains(it.key()) ? QStringLiteral(" shown") : QStringLiteral(" hidden")));
        } else if (!hidden.contains(it.key())) {
            const QWidget* hit = window->childAt(control->mapTo(window, control->rect().center()));
            if (hit != control && !control->isAncestorOf(hit))
                wrong.append(it.key() + QStringLiteral(" covered by ") + (hit ? hit->objectName() : QString()));
        }
    }
    return wrong;
}

QString caption(const QWidget* window, const char* name)
{
    const auto* label = control<QLabel>(window, name);
    return label ? label->text() : QString();
}

QStringList rows(const QWidget* list)
{
    QStringList texts;
    if (const auto* rows = qobject_cast<const QListWidget*>(list)) {
        for (int i = 0; i < rows->count(); ++i)
            texts.append(rows->item(i)->text());
    }
    return texts;
}

void clickAt(QWidget* window, QPoint at)
{
    QWidget* target = window->childAt(at);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(window, at));
}

void doubleClick(QWidget* widget, QPoint at)
{
    const QPoint pos = at.isNull() ? widget->rect().center() : at;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void moveHeld(QWidget* widget, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QWidget* visibleOnly(const Editor& editor)
{
    const QList<QWidget*> visible = editor.visibleWindows();
    return visible.size() == 1 ? visible.first() : nullptr;
}

bool startOn(Editor& editor, const DemoGameFolder& game)
{
    QTemporaryDir storeDir;
    QSettings store(storeDir.path() + QStringLiteral("/store.ini"), QSettings::IniFormat);
    store.setValue(QStringLiteral("Paths/GXPath"), game.path);
    return editor.start(store);
}

void DemoEditor::load(const QString& modName)
{
    const qsizetype boxes = prompter.boxes.size();
    StartUp::openMod(context.mod, game.mod(modName), prompter, &context.intro);
    if (prompter.boxes.size() != boxes)
        QTest::qFail("the demo mod did not load", __FILE__, __LINE__);
}

} // namespace TestSupport
