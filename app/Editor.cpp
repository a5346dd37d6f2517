#include "app/Editor.h"

#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "widgets/Artwork.h"
#include "widgets/QtClickSounds.h"
#include "widgets/QtPrompter.h"
#include "windows/EditorContext.h"
#include "windows/FormEdit.h"
#include "windows/FormLevel.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"
#include "windows/FormSelect.h"

#include <QEvent>
#include <QTimer>

namespace {

// Runs work once, a moment after the window's first paint is over, so that the window is on screen before
// the work holds the event loop up.
class AfterFirstPaint final : public QObject
{
public:
    AfterFirstPaint(QWidget* window, std::function<void()> work) : QObject(window), m_work(std::move(work))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The paint itself runs after this filter; the moment is counted from its end.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    QTimer::singleShot(DelayMs, this, [this] {
                        m_work();
                        deleteLater();
                    });
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    static constexpr int DelayMs = 20;
    std::function<void()> m_work;
};

} // namespace

// Qt's answers and sounds, made before any window so that the sounds are decoding by the time the first
// button can be clicked.
struct Editor::QtParts
{
    QtPrompter prompter;
    QtClickSounds sounds;
};

// Members are made in this order and destroyed in the reverse one: the windows go before what they use.
struct Editor::Parts
{
    Parts(Prompter& prompter, ClickSoundPlayer& sounds)
        : context{model, prompter, sounds, intro, [this](QWidget* window) { showOnly(window); }}
    {
    }

    QList<QWidget*> all() const { return {main.get(), edit.get(), save.get(), level.get(), select.get()}; }

    void showOnly(QWidget* window) const
    {
        for (QWidget* other : all()) {
            if (other && other != window)
                other->hide();
        }
        window->show();
        window->raise();
        window->activateWindow();
    }

    ModSettings model;
    IntroSwitch intro;
    EditorContext context;
    std::unique_ptr<FormMain> main;
    std::unique_ptr<FormEdit> edit;
    std::unique_ptr<FormSave> save;
    std::unique_ptr<FormLevel> level;
    std::unique_ptr<FormSelect> select;
};

Editor::Editor() : m_qt(std::make_unique<QtParts>())
{
    makeParts(m_qt->prompter, m_qt->sounds);
}

Editor::Editor(Prompter& prompter, ClickSoundPlayer& sounds)
{
    makeParts(prompter, sounds);
}

void Editor::makeParts(Prompter& prompter, ClickSoundPlayer& sounds)
{
    m_parts = std::make_unique<Parts>(prompter, sounds);
    Parts& p = *m_parts;
    // The mod selection is the first window the user sees; the other four are made once it is on screen, so
    // that making them does not hold it back. A mod chosen sooner makes them at once, before its load, which
    // the main window follows as it happens.
    p.select = std::make_unique<FormSelect>(p.context);
    FormSelect* select = p.select.get();
    QObject::connect(select, &FormSelect::modChosen, select, [this] { makeOtherWindows(); });
    QObject::connect(select, &FormSelect::modOpened, select, [&p] { p.showOnly(p.main.get()); });
    new AfterFirstPaint(select, [this] {
        // The program's own icon for the desktop, when it runs with Qt's parts (tests set none).
        if (m_qt)
            Artwork::giveApplicationIcon();
        makeOtherWindows();
    });
}

void Editor::makeOtherWindows()
{
    Parts& p = *m_parts;
    if (p.main)
        return;
    p.main = std::make_unique<FormMain>(p.context);
    p.edit = std::make_unique<FormEdit>(p.context);
    p.save = std::make_unique<FormSave>(p.context);
    p.level = std::make_unique<FormLevel>(p.context);
    connectWindows();
}

// What one window asks for, done by another. Opening a dialog hides the main window first; a dialog that
// is done brings the main window back.
void Editor::connectWindows()
{
    Parts& p = *m_parts;
    FormMain* main = p.main.get();
    FormEdit* edit = p.edit.get();
    FormSave* save = p.save.get();
    FormLevel* level = p.level.get();
    const auto showMain = [&p] { p.showOnly(p.main.get()); };

    QObject::connect(main, &FormMain::botNameEditRequested, edit, &FormEdit::BeginBotNameEdit);
    QObject::connect(main, &FormMain::scoreEditRequested, edit, &FormEdit::BeginScoreEdit);
    QObject::connect(main, &FormMain::saveRequested, save, [&p] { p.showOnly(p.save.get()); });
    // The level window shows the main window's busy panel while it extracts.
    QObject::connect(main, &FormMain::levelEditRequested, level, [main, level](int index, const QString& name) {
        level->editLevel(index, name, main->busyPanel());
    });
    QObject::connect(edit, &FormEdit::finished, main, showMain);
    QObject::connect(save, &FormSave::finished, main, showMain);
    QObject::connect(level, &FormLevel::finished, main, showMain);
}

Editor::~Editor() = default;

bool Editor::start(QSettings& store)
{
    Parts& p = *m_parts;
    const StartUp::Outcome outcome =
        StartUp::run(p.model, store, p.context.prompter, StartUp::gamePlaces, [&p] { p.showOnly(p.select.get()); });
    if (outcome.exit)
        return false;
    p.select->setMods(outcome.modsFolder, outcome.mods);
    return true;
}

EditorContext& Editor::context()
{
    return m_parts->context;
}

Editor::Windows Editor::windows()
{
    makeOtherWindows();
    return madeWindows();
}

Editor::Windows Editor::madeWindows() const
{
    const Parts& p = *m_parts;
    return {p.main.get(), p.edit.get(), p.save.get(), p.level.get(), p.select.get()};
}

QList<QWidget*> Editor::visibleWindows() const
{
    QList<QWidget*> visible;
    for (QWidget* window : m_parts->all()) {
        if (window && window->isVisible())
            visible.append(window);
    }
    return visible;
}
