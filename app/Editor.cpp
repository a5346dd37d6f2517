#include "app/Editor.h"

#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "startup/StartUp.h"
#include "widgets/Accessibility.h"
#include "widgets/QtClickSounds.h"
#include "widgets/QtPrompter.h"
#include "windows/EditorContext.h"
#include "windows/FormEdit.h"
#include "windows/FormLevel.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"
#include "windows/FormSelect.h"

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
    makeWindows(m_qt->prompter, m_qt->sounds);
}

Editor::Editor(Prompter& prompter, ClickSoundPlayer& sounds)
{
    makeWindows(prompter, sounds);
}

void Editor::makeWindows(Prompter& prompter, ClickSoundPlayer& sounds)
{
    m_parts = std::make_unique<Parts>(prompter, sounds);
    Parts& p = *m_parts;
    p.main = std::make_unique<FormMain>(p.context);
    p.edit = std::make_unique<FormEdit>(p.context);
    p.save = std::make_unique<FormSave>(p.context);
    p.level = std::make_unique<FormLevel>(p.context);
    p.select = std::make_unique<FormSelect>(p.context);
    for (QWidget* window : p.all())
        Accessibility::NameControls(window);
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

    QObject::connect(p.select.get(), &FormSelect::modOpened, main, showMain);
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
    const StartUp::Outcome outcome = StartUp::Run(p.model, store, p.context.prompter, StartUp::ProgramFilesFolders(),
                                                  [&p] { p.showOnly(p.select.get()); });
    if (outcome.exit)
        return false;
    p.select->setMods(outcome.mods);
    return true;
}

EditorContext& Editor::context()
{
    return m_parts->context;
}

Editor::Windows Editor::windows() const
{
    const Parts& p = *m_parts;
    return {p.main.get(), p.edit.get(), p.save.get(), p.level.get(), p.select.get()};
}

QList<QWidget*> Editor::visibleWindows() const
{
    QList<QWidget*> visible;
    for (QWidget* window : m_parts->all()) {
        if (window->isVisible())
            visible.append(window);
    }
    return visible;
}
