#include "windows/FormLevel.h"

#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"
#include "levels/LevelWorkflow.h"
#include "modfiles/ModSettings.h"
#include "ui_FormLevel.h"
#include "widgets/Accessibility.h"
#include "widgets/BusyCursor.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"

#include <QApplication>
#include <QCursor>
#include <QScrollBar>

namespace {

constexpr auto ColdBreathRow = static_cast<qsizetype>(Levels::LevelValue::ColdBreath);

// A box asks for the user's attention, so it gets the normal pointer even in the middle of a busy spell.
class NormalCursorWhileAsking final
{
public:
    NormalCursorWhileAsking() : m_busy(QApplication::overrideCursor() != nullptr)
    {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalCursorWhileAsking()
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    NormalCursorWhileAsking(const NormalCursorWhileAsking&) = delete;
    NormalCursorWhileAsking& operator=(const NormalCursorWhileAsking&) = delete;

private:
    bool m_busy;
};

class BoxPrompter final : public Prompter
{
public:
    explicit BoxPrompter(Prompter& inner) : m_inner(inner) {}

    bool question(const QString& text) override
    {
        const NormalCursorWhileAsking cursor;
        return m_inner.question(text);
    }
    void information(const QString& text) override
    {
        const NormalCursorWhileAsking cursor;
        m_inner.information(text);
    }
    void warning(const QString& text) override
    {
        const NormalCursorWhileAsking cursor;
        m_inner.warning(text);
    }
    void critical(const QString& text) override
    {
        const NormalCursorWhileAsking cursor;
        m_inner.critical(text);
    }
    QString chooseFolder(const QString& prompt, const QStringList& shortcuts) override
    {
        const NormalCursorWhileAsking cursor;
        return m_inner.chooseFolder(prompt, shortcuts);
    }
    std::optional<QString> askPassword(const QString& prompt) override
    {
        const NormalCursorWhileAsking cursor;
        return m_inner.askPassword(prompt);
    }

private:
    Prompter& m_inner;
};

} // namespace

FormLevel::FormLevel(EditorContext& context, QWidget* parent)
    : SkinnedWindow(QSize(201, 289), Frame::WhiteLines, parent), m_ui(std::make_unique<Ui::FormLevel>()),
      m_context(context), m_prompter(std::make_unique<BoxPrompter>(context.prompter)),
      m_workflow(std::make_unique<LevelWorkflow>(*m_prompter))
{
    m_ui->setupUi(this);
    bindValues();
    setupControls();
    setupConnections();
}

FormLevel::~FormLevel() = default;

void FormLevel::bindValues()
{
    // The controls of a number are "Label" and "VScroll" followed by its name here, in Init.CON's order.
    static const char* const names[] = {"MaxView", "PT16",  "ET16",  "PT32", "ET32", "PT64",
                                        "ET64",    "PT128", "ET128", "PLPM", "ELPM"};
    for (const ValueDescriptor& value : Levels::levelValues()) {
        // The values name themselves, in the words the command line uses too.
        if (value.isSwitch) {
            Accessibility::captionValue(m_ui->LabelLColdBreath, value.caption, {m_ui->PictureColdBreath});
            continue;
        }
        const QString name = QLatin1String(names[value.row]);
        const ValueRow row{&value, findChild<QLabel*>(QStringLiteral("Label") + name),
                           findChild<QScrollBar*>(QStringLiteral("VScroll") + name)};
        Accessibility::captionValue(findChild<QLabel*>(QStringLiteral("LabelL") + name), value.caption,
                                    {row.label, row.bar});
        m_rows.push_back(row);
    }
}

void FormLevel::setupControls()
{
    for (QLabel* label : findChildren<QLabel*>())
        TextStyle::styleLabel(label, 9, Qt::white);
    TextStyle::styleLabel(m_ui->LabelEditing, 9.75, Qt::white);
    TextStyle::styleLabel(m_ui->LabelLevel, 9.75, Qt::white);
    TextStyle::styleLabel(m_ui->LabelWarning, 8.25, Qt::red, false);

    // Before a level is opened the bars stand at the values the form's labels show.
    for (const ValueRow& row : m_rows) {
        row.bar->setRange(row.value->range.minimum, row.value->range.maximum);
        row.bar->setSingleStep(1);
        row.bar->setPageStep(1);
        row.bar->setValue(row.label->text().toInt());
    }
    m_ui->PictureColdBreath->setOn(false);

    m_ui->PictureSave->setWord(QStringLiteral("SAVE"));
    m_ui->PictureCancel->setWord(QStringLiteral("CANCEL"));
    m_ui->PictureSave->setSounds(&m_context.sounds);
    m_ui->PictureCancel->setSounds(&m_context.sounds);
}

void FormLevel::setupConnections()
{
    for (const ValueRow& row : m_rows)
        connect(row.bar, &QScrollBar::valueChanged, this, [this, &row](int value) { valueBarChanged(row, value); });
    connect(m_ui->PictureColdBreath, &CheckPicture::clicked, this, &FormLevel::toggleColdBreath);
    connect(m_ui->PictureSave, &ImageButton::clicked, this, &FormLevel::save);
    connect(m_ui->PictureCancel, &ImageButton::clicked, this, &FormLevel::finished);
}

void FormLevel::editLevel(int levelIndex, const QString& displayName, QWidget* busyPanel)
{
    if (!m_prompter->question(Levels::levelEditWarning()))
        return;
    const BusyCursor cursor;
    const auto showBusy = [busyPanel](bool shown) {
        if (!busyPanel)
            return;
        // Painted before the extraction blocks; clicks wait, so the Edit button cannot run twice.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        busyPanel->setVisible(shown);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (!m_workflow->OpenLevel(m_context.mod.modFolder(), levelIndex, showBusy))
        return;
    showSettings();
    m_ui->LabelLevel->setText(displayName);
    m_context.showOnly(this);
}

void FormLevel::showSettings()
{
    const KeyedScript& settings = m_workflow->settings();
    m_filling = true;
    for (const ValueRow& row : m_rows) {
        const ValueRange& range = row.value->range;
        const std::optional<qint64> value = settings.value(row.value->row);
        const bool found = value.has_value();
        row.bar->setEnabled(found);
        row.label->setEnabled(found);
        if (!found) {
            row.label->setText(QStringLiteral("-"));
            row.label->setToolTip(QStringLiteral("Not found in Init.CON; left as it is."));
            continue;
        }
        // Setting the bar plays its sound when the value differs, as a change by hand would.
        const int position = static_cast<int>(std::clamp<qint64>(*value, range.minimum, range.maximum));
        row.bar->setValue(position);
        // A value beyond the range is shown as the file has it, and kept unless the user moves the bar.
        row.label->setText(QString::number(*value));
        row.label->setToolTip(
            position == *value
                ? QString()
                : QStringLiteral("Outside %1 to %2; kept unless you change it.").arg(range.minimum).arg(range.maximum));
    }
    m_filling = false;
    const std::optional<qint64> coldBreath = settings.value(ColdBreathRow);
    m_ui->PictureColdBreath->setEnabled(coldBreath.has_value());
    m_ui->PictureColdBreath->setToolTip(coldBreath ? QString()
                                                   : QStringLiteral("Not found in Init.CON; left as it is."));
    m_ui->PictureColdBreath->setOn(coldBreath.value_or(0) != 0);
}

void FormLevel::valueBarChanged(const ValueRow& row, int value)
{
    m_context.sounds.PlayClickSound(ClickSound::BarOrSlider);
    row.label->setText(QString::number(value));
    if (m_filling)
        return;
    row.label->setToolTip(QString());
    m_workflow->settings().setValue(row.value->row, value);
}

void FormLevel::toggleColdBreath()
{
    m_context.sounds.PlayClickSound(ClickSound::ListOrCheck);
    KeyedScript& settings = m_workflow->settings();
    const std::optional<qint64> on = settings.value(ColdBreathRow);
    if (!on)
        return;
    settings.setValue(ColdBreathRow, *on != 0 ? 0 : 1);
    m_ui->PictureColdBreath->setOn(*on == 0);
}

void FormLevel::save()
{
    bool saved = false;
    {
        const BusyCursor cursor;
        saved = m_workflow->SaveLevel();
    }
    // A failed save keeps the window and the user's values, so that nothing typed is lost.
    if (saved)
        emit finished();
}

void FormLevel::closeRequested()
{
    emit finished();
}
