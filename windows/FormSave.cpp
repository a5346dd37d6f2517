#include "windows/FormSave.h"

#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "ui_FormSave.h"
#include "widgets/BusyCursor.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"

#include <optional>

FormSave::FormSave(EditorContext& context, QWidget* parent)
    : SkinnedWindow(QSize(201, 177), Frame::WhiteLines, parent), m_ui(std::make_unique<Ui::FormSave>()),
      m_context(context)
{
    m_ui->setupUi(this);
    setupControls();
    setupConnections();
}

FormSave::~FormSave() = default;

void FormSave::setupControls()
{
    TextStyle::styleLabel(m_ui->LabelLSave, 12, Qt::white);
    for (QLabel* label : {m_ui->LabelLFF, m_ui->LabelLScore, m_ui->LabelLBSMB, m_ui->LabelLNames, m_ui->LabelLIntro})
        TextStyle::styleLabel(label, 9, Qt::white);
    m_ui->PictureSave->setWord(QStringLiteral("SAVE"));
    m_ui->PictureCancel->setWord(QStringLiteral("CANCEL"));
    m_ui->PictureSave->setSounds(&m_context.sounds);
    m_ui->PictureCancel->setSounds(&m_context.sounds);
    refreshChecks();
    refreshIntro();
}

void FormSave::setupConnections()
{
    for (const auto& [check, file] : fileChecks()) {
        connect(check, &CheckPicture::clicked, this, [this, check = check, file = file] { flipSaveFlag(check, file); });
    }
    connect(m_ui->PictureIntro, &CheckPicture::clicked, this, &FormSave::switchIntro);
    connect(m_ui->PictureSave, &ImageButton::clicked, this, &FormSave::save);
    connect(m_ui->PictureCancel, &ImageButton::clicked, this, &FormSave::cancel);
    connect(&m_context.mod, &ModSettings::loaded, this, &FormSave::refreshChecks);
}

std::array<std::pair<CheckPicture*, ModFile>, 4> FormSave::fileChecks() const
{
    return {{{m_ui->PictureFF, ModFile::ServerSettings},
             {m_ui->PictureScore, ModFile::Scoring},
             {m_ui->PictureBSMB, ModFile::AIDefault},
             {m_ui->PictureBotNames, ModFile::BotNames}}};
}

void FormSave::refreshChecks()
{
    const ModSettings& mod = m_context.mod;
    // Before a mod is chosen nothing is known to be missing: the checks show the flags as start-up set them.
    for (const auto& [check, file] : fileChecks()) {
        const bool usable = !mod.isOpen() || mod.isPresent(file);
        check->setEnabled(usable);
        check->setOn(usable && mod.saveFlag(file));
    }
}

void FormSave::refreshIntro()
{
    const bool on = m_context.intro.IntroOn();
    const QString tip = on ? QStringLiteral("Intro is ON") : QStringLiteral("Intro is OFF");
    m_ui->PictureIntro->setOn(on);
    m_ui->PictureIntro->setToolTip(tip);
    m_ui->LabelLIntro->setToolTip(tip);
}

void FormSave::showEvent(QShowEvent* event)
{
    refreshChecks();
    refreshIntro();
    SkinnedWindow::showEvent(event);
}

void FormSave::flipSaveFlag(CheckPicture* check, ModFile file)
{
    m_context.sounds.PlayClickSound(ClickSound::ListOrCheck);
    ModSettings& mod = m_context.mod;
    const bool on = !mod.saveFlag(file);
    mod.setSaveFlag(file, on);
    check->setOn(on);
}

void FormSave::switchIntro()
{
    m_context.sounds.PlayClickSound(ClickSound::Button);
    std::optional<BusyCursor> busy;
    m_context.intro.toggle(m_context.mod.modFolder(), m_context.prompter, [&busy](bool on) {
        if (on)
            busy.emplace();
        else
            busy.reset();
    });
    busy.reset();
    refreshIntro();
}

void FormSave::save()
{
    if (!m_context.prompter.question(QStringLiteral("Save?")))
        return;
    ModSettings& mod = m_context.mod;
    SaveReport report;
    {
        const BusyCursor busy;
        report = ModFiles::SaveMod(mod, mod.saveFlags());
    }
    ModFiles::reportSave(report, m_context.prompter);
    emit finished();
}

void FormSave::cancel()
{
    emit finished();
}

void FormSave::closeRequested()
{
    cancel();
}
