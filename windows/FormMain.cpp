#include "windows/FormMain.h"

#include "widgets/BotNameInput.h"

#include "ui_FormMain.h"

#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"
#include "modfiles/SliderMath.h"
#include "widgets/Accessibility.h"
#include "widgets/Artwork.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace {

constexpr qreal LabelPointSize = 9.0;
constexpr qreal FieldPointSize = 8.25;

// The row of a list that is selected, or -1.
int SelectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

// A value as the value labels show it: the model's number; "-", as the level window has it, for a value its
// file does not hold; "0" while there is no file.
QString Shown(const std::optional<qint64>& value, bool filePresent)
{
    if (value)
        return QString::number(*value);
    return filePresent ? QStringLiteral("-") : QStringLiteral("0");
}

// Why a value is shown as "-": where its key was looked for, or where the key stands with no number after it.
QString MissingValueTip(qsizetype at, qsizetype start)
{
    return at < 0 ? QStringLiteral("Not found from character %1 on").arg(start)
                  : QStringLiteral("No number after the key at character %1").arg(at + 1);
}

void SetWhiteField(QWidget* field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    field->setPalette(palette);
    field->setFont(TextStyle::font(FieldPointSize));
}

// The captions were laid out for the Windows face; where a look-alike face runs a little wider, the caption
// is narrowed to fit its place rather than cut off.
void FitCaption(QLabel* label)
{
    QFont font = label->font();
    for (int stretch = 100; stretch >= 85; --stretch) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(label->text()) <= label->width())
            break;
    }
    if (font.stretch() != 100)
        label->setFont(font);
}

// Makes a list hold exactly these rows, touching only the rows that differ.
void SyncRows(QListWidget* list, const QStringList& rows)
{
    while (list->count() > rows.size())
        delete list->takeItem(list->count() - 1);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i < list->count()) {
            if (list->item(static_cast<int>(i))->text() != rows.at(i))
                list->item(static_cast<int>(i))->setText(rows.at(i));
        } else {
            list->addItem(rows.at(i));
        }
        // A long row is cut at the list's edge; its tooltip shows it whole.
        list->item(static_cast<int>(i))->setToolTip(rows.at(i));
    }
}

} // namespace

FormMain::FormMain(EditorContext& context, QWidget* parent)
    : SkinnedWindow(QSize(449, 360), Frame::None, parent), m_ui(std::make_unique<Ui::FormMain>()), m_context(context)
{
    m_ui->setupUi(this);
    setMovableByBackground(true);
    setupControls();
    setupConnections();
}

FormMain::~FormMain() = default;

QWidget* FormMain::busyPanel() const
{
    return m_ui->PictureWarning;
}

QPixmap FormMain::backgroundPicture(qreal dpr) const
{
    // The Save button rests on the top edge of the Bots plate.
    return Artwork::mainBackground({m_ui->PlateSettings->geometry(), m_ui->PlateScores->geometry(),
                                    m_ui->PlateLevel->geometry(), m_ui->PlateBots->geometry()},
                                   {m_ui->GrooveBotSkill->geometry(), m_ui->GrooveMaxBots->geometry()}, dpr);
}

FormMain::FriendlyFireRow FormMain::row(FriendlyFire which) const
{
    switch (which) {
    case FriendlyFire::SoldierFF:
        return {m_ui->LabelLSFD, m_ui->LabelSFD, m_ui->VScrollSFD};
    case FriendlyFire::VehicleFF:
        return {m_ui->LabelLVFD, m_ui->LabelVFD, m_ui->VScrollVFD};
    case FriendlyFire::SoldierSplashFF:
        return {m_ui->LabelLSSD, m_ui->LabelSSD, m_ui->VScrollSSD};
    case FriendlyFire::VehicleSplashFF:
        return {m_ui->LabelLVSD, m_ui->LabelVSD, m_ui->VScrollVSD};
    }
    return {m_ui->LabelLSFD, m_ui->LabelSFD, m_ui->VScrollSFD};
}

void FormMain::setupControls()
{
    // The values name themselves, in the words the command line uses too.
    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        const FriendlyFireRow controls = row(which);
        Accessibility::captionValue(controls.caption, ModFiles::friendlyFireValue(which).caption,
                                    {controls.label, controls.bar});
    }
    Accessibility::captionValue(m_ui->LabelLBotSkill, ModFiles::botSkillValue().caption,
                                {m_ui->LabelBotSkill, m_ui->PictureSliderBGBS});
    Accessibility::captionValue(m_ui->LabelLMaxBots, ModFiles::maxBotsValue().caption,
                                {m_ui->LabelMaxBots, m_ui->PictureSliderBGMB});

    // Every caption and value label is black with a grey twin beneath it; the value labels' twins carry
    // their names, as the window keeps them equal at run time.
    const QList<QLabel*> valueLabels{m_ui->LabelBotNames, m_ui->LabelSFD,      m_ui->LabelVFD,    m_ui->LabelSSD,
                                     m_ui->LabelVSD,      m_ui->LabelBotSkill, m_ui->LabelMaxBots};
    for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        TextStyle::styleLabel(label, LabelPointSize, Qt::black);
        FitCaption(label);
        TextStyle::addShadow(label, valueLabels.contains(label) ? label->objectName() + QLatin1Char('2') : QString());
    }

    // The plates and grooves are painted into the background; their places in the form only say where.
    for (QWidget* place : {m_ui->PlateSettings, m_ui->PlateScores, m_ui->PlateLevel, m_ui->PlateBots,
                           m_ui->GrooveBotSkill, m_ui->GrooveMaxBots})
        place->hide();

    TextStyle::styleLabel(m_ui->LabelLoading, LabelPointSize, Qt::white);
    QPalette black = m_ui->PictureWarning->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_ui->PictureWarning->setPalette(black);
    m_ui->PictureWarning->hide();

    for (QWidget* field :
         std::initializer_list<QWidget*>{m_ui->ListBotNames, m_ui->ListScores, m_ui->TextNewBot, m_ui->ComboLevels})
        SetWhiteField(field);
    m_ui->ComboLevels->setCurrentIndex(0);
    m_ui->ListBotNames->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_ui->ListScores->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        QScrollBar* bar = row(which).bar;
        const ValueRange& range = ModFiles::friendlyFireValue(which).range;
        bar->setRange(range.minimum, range.maximum);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(0);
    }

    m_ui->PictureSliderBGBS->setSlider(SliderMath::Slider::BotSkill);
    m_ui->PictureSliderBGMB->setSlider(SliderMath::Slider::MaxBots);
    m_ui->PictureSliderBGBS->setKnob(m_ui->PictureSliderBoxBS);
    m_ui->PictureSliderBGMB->setKnob(m_ui->PictureSliderBoxMB);
    m_ui->PictureSliderBGBS->setSounds(&m_context.sounds);
    m_ui->PictureSliderBGMB->setSounds(&m_context.sounds);

    m_ui->PictureAdd->setWord(QStringLiteral("ADD"));
    m_ui->PictureEdit->setWord(QStringLiteral("EDIT"));
    m_ui->PictureSave->setWord(QStringLiteral("SAVE"));
    const qreal dpr = devicePixelRatioF();
    m_ui->PictureMini->setImages(Artwork::minimiseFace(false, dpr), Artwork::minimiseFace(true, dpr));
    m_ui->PictureExit->setImages(Artwork::exitFace(false, dpr), Artwork::exitFace(true, dpr));
    m_ui->PictureMini->setAccessibleName(QStringLiteral("Minimise"));
    m_ui->PictureExit->setAccessibleName(QStringLiteral("Exit"));
    for (ImageButton* button :
         {m_ui->PictureAdd, m_ui->PictureEdit, m_ui->PictureSave, m_ui->PictureMini, m_ui->PictureExit})
        button->setSounds(&m_context.sounds);
    BotNameInput::install(m_ui->TextNewBot);
}

void FormMain::setupConnections()
{
    // Double-clicks on the lists and the value labels, and Delete on the bot names, come through
    // eventFilter().
    m_ui->ListBotNames->installEventFilter(this);
    m_ui->ListBotNames->viewport()->installEventFilter(this);
    m_ui->ListScores->viewport()->installEventFilter(this);
    for (FriendlyFire which : ModFiles::AllFriendlyFire)
        row(which).label->installEventFilter(this);

    ModSettings& mod = m_context.mod;
    connect(&mod, &ModSettings::loaded, this, &FormMain::showLoadedMod);
    connect(&mod, &ModSettings::botNamesChanged, this, &FormMain::showBotNames);
    connect(&mod, &ModSettings::botSettingsChanged, this, &FormMain::showBotSettings);
    connect(&mod, &ModSettings::friendlyFireChanged, this, &FormMain::showFriendlyFire);
    connect(&mod, &ModSettings::scoreChanged, this, &FormMain::showScore);

    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        connect(row(which).bar, &QScrollBar::valueChanged, this,
                [this, which](int value) { friendlyFireBarChanged(which, value); });
    }
    connect(m_ui->PictureSliderBGBS, &BotSlider::valueChosen, this,
            [this](int value) { m_context.mod.setValue(ModFiles::botSkillValue(), value); });
    connect(m_ui->PictureSliderBGMB, &BotSlider::valueChosen, this,
            [this](int value) { m_context.mod.setValue(ModFiles::maxBotsValue(), value); });
    connect(m_ui->PictureAdd, &ImageButton::clicked, this, &FormMain::addBotName);
    connect(m_ui->PictureEdit, &ImageButton::clicked, this, &FormMain::editSelectedLevel);
    connect(m_ui->PictureSave, &ImageButton::clicked, this, &FormMain::saveRequested);
    connect(m_ui->PictureMini, &ImageButton::clicked, this, &QWidget::showMinimized);
    connect(m_ui->PictureExit, &ImageButton::clicked, this, &FormMain::askToExit);
}

bool FormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->ListBotNames->viewport())
            editSelectedBotName();
        else if (watched == m_ui->ListScores->viewport())
            editSelectedScore();
        for (FriendlyFire which : ModFiles::AllFriendlyFire) {
            if (watched == row(which).label)
                resetFriendlyFire(which);
        }
    } else if (event->type() == QEvent::KeyRelease && watched == m_ui->ListBotNames) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && !key->isAutoRepeat())
            deleteSelectedBotName();
    }
    return SkinnedWindow::eventFilter(watched, event);
}

void FormMain::showLoadedMod()
{
    const ModSettings& mod = m_context.mod;

    showBotNames();
    m_ui->ListBotNames->setEnabled(mod.isPresent(ModFile::BotNames));

    for (FriendlyFire which : ModFiles::AllFriendlyFire) {
        showFriendlyFire(which);
        const ValueDescriptor& value = ModFiles::friendlyFireValue(which);
        const bool known = mod.value(value).has_value();
        row(which).bar->setEnabled(mod.isPresent(ModFile::ServerSettings) && known);
        const QString tip = mod.isPresent(ModFile::ServerSettings) && !known
                                ? MissingValueTip(mod.keyAt(value), ModFiles::FriendlyFireSearchStart)
                                : QString();
        row(which).label->setToolTip(tip);
        row(which).bar->setToolTip(tip);
    }

    // The knobs are placed from the file's values once; afterwards only the user moves them.
    const struct
    {
        BotSlider* slider;
        QLabel* label;
        const ValueDescriptor& value;
    } sliders[] = {{m_ui->PictureSliderBGBS, m_ui->LabelBotSkill, ModFiles::botSkillValue()},
                   {m_ui->PictureSliderBGMB, m_ui->LabelMaxBots, ModFiles::maxBotsValue()}};
    for (const auto& each : sliders) {
        const std::optional<qint64> value = mod.value(each.value);
        const bool known = value.has_value();
        each.slider->placeKnob(known ? SliderMath::placeFromValue(each.slider->slider(), static_cast<double>(*value))
                                     : SliderMath::LeftEnd);
        each.slider->setEnabled(mod.isPresent(ModFile::AIDefault) && known);
        const QString tip = mod.isPresent(ModFile::AIDefault) && !known
                                ? MissingValueTip(mod.keyAt(each.value), ModFiles::BotSettingsSearchStart)
                                : QString();
        each.label->setToolTip(tip);
        each.slider->setToolTip(tip);
    }
    showBotSettings();

    showScores();
    m_ui->ListScores->setEnabled(mod.isPresent(ModFile::Scoring));
}

void FormMain::showBotNames()
{
    const QStringList& names = m_context.mod.BotNames();
    SyncRows(m_ui->ListBotNames, names);
    TextStyle::setCaption(m_ui->LabelBotNames, QString::number(names.size()));
}

void FormMain::showBotSettings()
{
    const ModSettings& mod = m_context.mod;
    TextStyle::setCaption(m_ui->LabelBotSkill,
                          Shown(mod.value(ModFiles::botSkillValue()), mod.isPresent(ModFile::AIDefault)));
    TextStyle::setCaption(m_ui->LabelMaxBots,
                          Shown(mod.value(ModFiles::maxBotsValue()), mod.isPresent(ModFile::AIDefault)));
}

void FormMain::showFriendlyFire(FriendlyFire which)
{
    const std::optional<qint64> value = m_context.mod.value(ModFiles::friendlyFireValue(which));
    const FriendlyFireRow controls = row(which);
    TextStyle::setCaption(controls.label, Shown(value, m_context.mod.isPresent(ModFile::ServerSettings)));
    // A value above the bar's range (the file has room for three digits) leaves the bar at its end while
    // the label and the model keep the value as read, so that an untouched row is saved back unchanged.
    m_barFollowsModel = true;
    controls.bar->setValue(
        value ? static_cast<int>(std::clamp<qint64>(*value, controls.bar->minimum(), controls.bar->maximum())) : 0);
    m_barFollowsModel = false;
}

void FormMain::friendlyFireBarChanged(FriendlyFire which, int value)
{
    m_context.sounds.PlayClickSound(ClickSound::BarOrSlider);
    if (!m_barFollowsModel)
        m_context.mod.setValue(ModFiles::friendlyFireValue(which), value);
}

void FormMain::resetFriendlyFire(FriendlyFire which)
{
    // A row whose value the file does not hold (or whose file is missing) stays as it is.
    if (!row(which).bar->isEnabled())
        return;
    m_context.mod.setValue(ModFiles::friendlyFireValue(which), 0);
}

void FormMain::showScore(int index)
{
    const QStringList& lines = m_context.mod.ScoreLines();
    if (index < 0 || index >= lines.size() || index >= m_ui->ListScores->count())
        return;
    m_ui->ListScores->item(index)->setText(lines.at(index));
    m_ui->ListScores->item(index)->setToolTip(lines.at(index));
}

void FormMain::showScores()
{
    SyncRows(m_ui->ListScores, m_context.mod.ScoreLines());
}

void FormMain::editSelectedBotName()
{
    const int selected = SelectedRow(m_ui->ListBotNames);
    if (selected < 0)
        return;
    m_context.sounds.PlayClickSound(ClickSound::ListOrCheck);
    emit botNameEditRequested(selected);
}

void FormMain::deleteSelectedBotName()
{
    const int selected = SelectedRow(m_ui->ListBotNames);
    if (selected < 0)
        return;
    if (!m_context.prompter.question(QStringLiteral("Delete this bot name?")))
        return;
    m_context.mod.removeBotName(selected);
    m_ui->ListBotNames->clearSelection();
    m_ui->ListBotNames->setCurrentRow(-1);
}

void FormMain::addBotName()
{
    const QString name = m_ui->TextNewBot->text();
    if (name.isEmpty()) {
        m_context.prompter.warning(QStringLiteral("No name entered."));
        return;
    }
    m_context.mod.addBotName(name);
}

void FormMain::editSelectedScore()
{
    const int selected = SelectedRow(m_ui->ListScores);
    if (selected < 0)
        return;
    m_context.sounds.PlayClickSound(ClickSound::ListOrCheck);
    emit scoreEditRequested(selected);
}

void FormMain::editSelectedLevel()
{
    const int index = m_ui->ComboLevels->currentIndex();
    if (index < 0) {
        m_context.prompter.warning(QStringLiteral("No level selected."));
        return;
    }
    emit levelEditRequested(index, m_ui->ComboLevels->currentText());
}

void FormMain::askToExit()
{
    // Ends the run at once: unsaved changes are the user's to save before.
    if (m_context.prompter.question(QStringLiteral("Do you want to exit?")))
        QCoreApplication::exit(0);
}

void FormMain::closeRequested()
{
    askToExit();
}
