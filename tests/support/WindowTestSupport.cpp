#include "tests/support/WindowTestSupport.h"

#include "modfiles/ModSettings.h"
#include "startup/StartUp.h"
#include "windows/EditorContext.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QMouseEvent>
#include <QTest>
#include <QXmlStreamReader>

namespace TestSupport {

namespace {

// The place of every control in the window's form, relative to its parent as the form gives it.
QMap<QString, QRect> FormPlaces(const QString& form)
{
    QMap<QString, QRect> places;
    QFile file(QStringLiteral(GX_SOURCE_DIR "/windows/") + form + QStringLiteral(".ui"));
    if (!file.open(QIODevice::ReadOnly))
        return places;
    QXmlStreamReader xml(&file);
    QStringList widgets;
    QString property;
    QMap<QString, int> rect;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString tag = xml.name().toString();
        if (xml.isStartElement()) {
            if (tag == QLatin1String("widget"))
                widgets.append(xml.attributes().value(QLatin1String("name")).toString());
            else if (tag == QLatin1String("property"))
                property = xml.attributes().value(QLatin1String("name")).toString();
            else if (property == QLatin1String("geometry") && tag.size() <= 6 && tag != QLatin1String("rect"))
                rect.insert(tag, xml.readElementText().toInt());
        } else if (xml.isEndElement()) {
            if (tag == QLatin1String("widget")) {
                widgets.removeLast();
            } else if (tag == QLatin1String("property")) {
                if (property == QLatin1String("geometry") && widgets.size() > 1)
                    places.insert(widgets.last(),
                                  QRect(rect.value(QStringLiteral("x")), rect.value(QStringLiteral("y")),
                                        rect.value(QStringLiteral("width")), rect.value(QStringLiteral("height"))));
                property.clear();
            }
        }
    }
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
        if (!control) {
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

void doubleClickAt(QWidget* window, QPoint at)
{
    QWidget* target = window->childAt(at);
    if (!target)
        target = window;
    doubleClick(target, target->mapFrom(window, at));
}

QPoint rowCentre(const QWidget* window, const QListWidget* list, int row)
{
    return list->viewport()->mapTo(window, list->visualItemRect(list->item(row)).center());
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

bool DemoEditor::start()
{
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
