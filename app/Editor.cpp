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
    Parts(Prompter& prompter, ClickSoundPlayer& sounds) : context{model, prompter, sounds, intro} {}

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
    // Each window may look up those made before it (the dialogs share the main window's button images).
    p.main = std::make_unique<FormMain>(p.context);
    p.context.main = p.main.get();
    p.edit = std::make_unique<FormEdit>(p.context);
    p.context.edit = p.edit.get();
    p.save = std::make_unique<FormSave>(p.context);
    p.context.save = p.save.get();
    p.level = std::make_unique<FormLevel>(p.context);
    p.context.level = p.level.get();
    p.select = std::make_unique<FormSelect>(p.context);
    p.context.select = p.select.get();
    for (QWidget* window :
         {static_cast<QWidget*>(p.main.get()), static_cast<QWidget*>(p.edit.get()), static_cast<QWidget*>(p.save.get()),
          static_cast<QWidget*>(p.level.get()), static_cast<QWidget*>(p.select.get())})
        Accessibility::NameControls(window);
}

Editor::~Editor() = default;

bool Editor::start(QSettings& store)
{
    Parts& p = *m_parts;
    const StartUp::Outcome outcome = StartUp::Run(p.model, store, p.context.prompter, StartUp::ProgramFilesFolders(),
                                                  [&p] { p.context.showOnly(p.select.get()); });
    if (outcome.exit)
        return false;
    p.select->setMods(outcome.mods);
    return true;
}

EditorContext& Editor::context()
{
    return m_parts->context;
}
