#include "widgets/QtPrompter.h"

#include "widgets/Artwork.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString Title()
{
    return QStringLiteral("GX3190 SP Editor");
}

// Every box and dialog goes through here; one that comes before the first window brings the icon with it.
QWidget* Owner()
{
    Artwork::giveApplicationIcon();
    return QApplication::activeWindow();
}

void Notice(QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, Title(), text, QMessageBox::Ok, Owner());
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

} // namespace

bool QtPrompter::question(const QString& text)
{
    QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::Yes | QMessageBox::No, Owner());
    // Every question guards an action that changes files or ends the program: Enter alone must not do it.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompter::information(const QString& text)
{
    Notice(QMessageBox::Information, text);
}

void QtPrompter::warning(const QString& text)
{
    Notice(QMessageBox::Warning, text);
}

void QtPrompter::critical(const QString& text)
{
    Notice(QMessageBox::Critical, text);
}

QString QtPrompter::chooseFolder(const QString& prompt, const QStringList& shortcuts)
{
    // The prompt has a second line ("Example: ..."), which a title bar cuts off and a native dialog has no
    // room for: Qt's own folder dialog is shown beneath the whole prompt.
    QDialog frame(Owner());
    frame.setWindowTitle(Title());
    auto* text = new QLabel(QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), &frame);
    text->setTextFormat(Qt::PlainText);
    auto* folders = new QFileDialog(&frame);
    folders->setWindowFlags(Qt::Widget);
    folders->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    folders->setFileMode(QFileDialog::Directory);
    if (!shortcuts.isEmpty()) {
        QList<QUrl> places = folders->sidebarUrls();
        for (const QString& folder : shortcuts)
            places.append(QUrl::fromLocalFile(folder));
        folders->setSidebarUrls(places);
    }
    // The prompt lines up with the dialog's own rows.
    QMargins margins = folders->layout()->contentsMargins();
    margins.setBottom(0);
    text->setContentsMargins(margins);
    auto* column = new QVBoxLayout(&frame);
    column->setContentsMargins(QMargins());
    column->setSpacing(0);
    column->addWidget(text);
    column->addWidget(folders);
    QObject::connect(folders, &QDialog::finished, &frame, &QDialog::done);
    if (frame.exec() != QDialog::Accepted)
        return {};
    return folders->selectedFiles().value(0);
}

std::optional<QString> QtPrompter::askPassword(const QString& prompt)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(Owner(), Title(), prompt, QLineEdit::Password, QString(), &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}
