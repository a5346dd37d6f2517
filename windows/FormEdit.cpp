#include "windows/FormEdit.h"

#include "core/ClickSoundPlayer.h"
#include "modfiles/ModSettings.h"
#include "modfiles/ScoreKeys.h"
#include "ui_FormEdit.h"
#include "widgets/BotNameInput.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"

#include <QKeyEvent>
#include <QSignalBlocker>

FormEdit::FormEdit(EditorContext& context, QWidget* parent)
    : SkinnedWindow(QSize(201, 81), Frame::WhiteLines, parent), m_ui(std::make_unique<Ui::FormEdit>()),
      m_context(context)
{
    m_ui->setupUi(this);
    setupControls();
    setupConnections();
}

FormEdit::~FormEdit() = default;

void FormEdit::setupControls()
{
    TextStyle::styleLabel(m_ui->LabelLEditing, 9.75, Qt::white);
    TextStyle::styleLabel(m_ui->LabelLScore, 8.25, Qt::white);
    TextStyle::styleLabel(m_ui->LabelScore, 8.25, Qt::red);
    m_ui->TextBotName->setFont(TextStyle::font(8.25));
    // White with black text like the main window's lists, whatever the desktop's colour scheme.
    QPalette field = m_ui->TextBotName->palette();
    field.setColor(QPalette::Base, Qt::white);
    field.setColor(QPalette::Text, Qt::black);
    m_ui->TextBotName->setPalette(field);
    BotNameInput::install(m_ui->TextBotName);

    m_ui->VScrollNum->setRange(ModFiles::ScoreRange.minimum, ModFiles::ScoreRange.maximum);
    m_ui->VScrollNum->setSingleStep(1);
    m_ui->VScrollNum->setPageStep(1);
    m_ui->PictureAccept->setWord(QStringLiteral("ACCEPT"));
    m_ui->PictureCancel->setWord(QStringLiteral("CANCEL"));
    m_ui->PictureAccept->setSounds(&m_context.sounds);
    m_ui->PictureCancel->setSounds(&m_context.sounds);
}

void FormEdit::setupConnections()
{
    connect(m_ui->VScrollNum, &QScrollBar::valueChanged, this, &FormEdit::scoreBarChanged);
    connect(m_ui->PictureAccept, &ImageButton::clicked, this, &FormEdit::accept);
    connect(m_ui->PictureCancel, &ImageButton::clicked, this, &FormEdit::cancel);
    connect(m_ui->TextBotName, &QLineEdit::returnPressed, this, &FormEdit::accept);
}

void FormEdit::BeginBotNameEdit(int row)
{
    const QStringList& names = m_context.mod.BotNames();
    if (row < 0 || row >= names.size())
        return;
    m_editingBotName = true;
    m_editIndex = row;
    m_ui->LabelLEditing->setText(QStringLiteral("Editing Bot Name: "));
    m_ui->TextBotName->setVisible(true);
    m_ui->TextBotName->setText(names.at(row));
    m_ui->VScrollNum->setVisible(false);
    m_ui->LabelScore->setVisible(false);
    m_ui->LabelLScore->setVisible(false);
    m_context.showOnly(this);
    m_ui->TextBotName->setFocus(Qt::OtherFocusReason);
    m_ui->TextBotName->end(false);
}

void FormEdit::BeginScoreEdit(int row)
{
    if (row < 0 || row >= ModFiles::ScoreKeyCount)
        return;
    const ValueDescriptor& score = ModFiles::scoreValue(row);
    const std::optional<qint64> held = m_context.mod.value(score);
    if (!held)
        return;
    const int value = static_cast<int>(*held);
    m_editingBotName = false;
    m_editIndex = row;
    m_ui->LabelLEditing->setText(QStringLiteral("Editing Score: "));
    m_ui->TextBotName->setVisible(false);
    m_ui->TextBotName->clear();
    m_ui->LabelLScore->setText(score.caption);
    m_ui->LabelScore->setText(QString::number(value));
    m_ui->LabelLScore->setToolTip(m_ui->LabelLScore->text());
    // The bar is named by its caption, a buddy; the value beside it is read under the same name.
    m_ui->LabelScore->setAccessibleName(m_ui->LabelLScore->text());

    // A value the file holds outside the usual range is shown as it is, and the bar widens for this edit
    // so that accepting without touching the arrows keeps it. Changing the range must not count as a
    // change of the value: only the value itself may play the sound, and only when it differs.
    QScrollBar* bar = m_ui->VScrollNum;
    const int previous = bar->value();
    {
        const QSignalBlocker blocker(bar);
        bar->setRange(qMin(score.range.minimum, value), qMax(score.range.maximum, value));
        bar->setValue(value);
    }
    if (bar->value() != previous)
        scoreBarChanged(bar->value());

    bar->setVisible(true);
    m_ui->LabelScore->setVisible(true);
    m_ui->LabelLScore->setVisible(true);
    m_context.showOnly(this);
}

void FormEdit::scoreBarChanged(int value)
{
    m_context.sounds.PlayClickSound(ClickSound::BarOrSlider);
    m_ui->LabelScore->setText(QString::number(value));
}

void FormEdit::accept()
{
    if (m_editingBotName) {
        const QString name = m_ui->TextBotName->text();
        // An empty name is refused without a word; the dialog stays until a name or Cancel.
        if (name.isEmpty())
            return;
        m_context.mod.setBotName(m_editIndex, name);
    } else {
        m_context.mod.setValue(ModFiles::scoreValue(m_editIndex), m_ui->VScrollNum->value());
    }
    emit finished();
}

void FormEdit::cancel()
{
    emit finished();
}

void FormEdit::closeRequested()
{
    cancel();
}

void FormEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        cancel();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}
