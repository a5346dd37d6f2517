#include "windows/FormSelect.h"

#include "ui_FormSelect.h"

#include "startup/StartUp.h"
#include "widgets/TextStyle.h"
#include "windows/EditorContext.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

FormSelect::FormSelect(EditorContext& context, QWidget* parent)
    : SkinnedWindow(QSize(137, 121), Frame::WhiteLines, parent), m_ui(std::make_unique<Ui::FormSelect>()),
      m_context(context)
{
    m_ui->setupUi(this);
    setupControls();
    setupConnections();
}

FormSelect::~FormSelect() = default;

void FormSelect::setupControls()
{
    m_ui->LabelLSelectMod->setFont(TextStyle::font(9.75));
    m_ui->LabelLSelectMod->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_ui->ListMods->setFont(TextStyle::font(8.25));
    m_ui->ListMods->setAccessibleName(m_ui->LabelLSelectMod->text());
    m_ui->ListMods->setStyleSheet(QStringLiteral("QListWidget { background: white; color: black; border: 1px solid "
                                                 "black; } QListWidget::item:selected { background: #1c3f8c; "
                                                 "color: white; }"));
    m_ui->PictureEdit->setWord(QStringLiteral("EDIT"));
    m_ui->PictureEdit->setSounds(&m_context.sounds);
}

void FormSelect::setupConnections()
{
    connect(m_ui->PictureEdit, &ImageButton::clicked, this, &FormSelect::openSelectedMod);
    // Double-clicks and Enter on the list come through eventFilter().
    m_ui->ListMods->installEventFilter(this);
    m_ui->ListMods->viewport()->installEventFilter(this);
}

void FormSelect::setMods(const QString& modsFolder, const QStringList& names)
{
    m_modsFolder = modsFolder;
    m_ui->ListMods->clear();
    m_ui->ListMods->addItems(names);
}

QStringList FormSelect::mods() const
{
    QStringList names;
    for (int row = 0; row < m_ui->ListMods->count(); ++row)
        names.append(m_ui->ListMods->item(row)->text());
    return names;
}

// A double-click anywhere on the list opens the mod, and so does Enter, so the window can be used without a
// mouse.
bool FormSelect::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->ListMods->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            openSelectedMod();
            return true;
        }
        // A press below the last row leaves the selection as it is (Qt's list would clear it), so that a
        // double-click there opens the selected mod.
        if (event->type() == QEvent::MouseButtonPress &&
            !m_ui->ListMods->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()))
            return true;
    }
    if (watched == m_ui->ListMods && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openSelectedMod();
            return true;
        }
    }
    return SkinnedWindow::eventFilter(watched, event);
}

void FormSelect::openSelectedMod()
{
    const QList<QListWidgetItem*> selected = m_ui->ListMods->selectedItems();
    if (selected.isEmpty())
        return;
    // Gone before the mod is read: the selection is over once a mod is chosen.
    hide();
    emit modChosen();
    StartUp::openMod(m_context.mod, m_modsFolder + selected.constFirst()->text(), m_context.prompter, &m_context.intro,
                     [this] { emit modOpened(); });
}

void FormSelect::closeRequested()
{
    // The window has no exit of its own; closing it is the user's way of not editing anything this time.
    QCoreApplication::quit();
}
