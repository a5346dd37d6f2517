#include "tests/support/WindowTestSupport.h"

#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "windows/EditorContext.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

QWidget* FindControl(const QWidget* window, const QString& name)
{
    auto* control = window->findChild<QWidget*>(name);
    if (!control)
        QTest::qFail(qPrintable(QStringLiteral("no control named ") + name), __FILE__, __LINE__);
    return control;
}

QString Caption(const QWidget* window, const char* name)
{
    const auto* label = Control<QLabel>(window, name);
    return label ? label->text() : QString();
}

QStringList Rows(const QWidget* list)
{
    QStringList texts;
    if (const auto* rows = qobject_cast<const QListWidget*>(list)) {
        for (int i = 0; i < rows->count(); ++i)
            texts.append(rows->item(i)->text());
    }
    return texts;
}

void ClickAt(QWidget* window, QPoint at)
{
    QWidget* target = window->childAt(at);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(window, at));
}

void DoubleClick(QWidget* widget, QPoint at)
{
    const QPoint pos = at.isNull() ? widget->rect().center() : at;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void MoveHeld(QWidget* widget, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QWidget* VisibleOnly(const EditorContext& context)
{
    const QList<QWidget*> visible = context.visibleWindows();
    return visible.size() == 1 ? visible.first() : nullptr;
}

void SaveScreenshot(QWidget* widget, const QString& fileName)
{
    const QString folder = qEnvironmentVariable("GX_ARTIFACTS");
    if (folder.isEmpty())
        return;
    if (!QDir().mkpath(folder) || !widget->grab().save(folder + QLatin1Char('/') + fileName))
        QTest::qFail(qPrintable(QStringLiteral("cannot save ") + fileName), __FILE__, __LINE__);
}

ModSettings& DemoEditor::mod() const
{
    return context.mod;
}

void DemoEditor::load(const QString& modName)
{
    context.mod.ModFolder = game.mod(modName);
    if (!ModFiles::LoadMod(context.mod).unreadableFiles.isEmpty())
        QTest::qFail("the demo mod did not load", __FILE__, __LINE__);
    context.intro.ReadIntroStatus(context.mod.ModFolder);
}
