#include "shell/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QString Title()
{
    return QStringLiteral("GX3190 SP Editor");
}

QWidget* Owner()
{
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

QString QtPrompter::chooseFolder(const QString& prompt)
{
    return QFileDialog::getExistingDirectory(Owner(), prompt, QString(), QFileDialog::ShowDirsOnly);
}

std::optional<QString> QtPrompter::askText(const QString& prompt)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(Owner(), Title(), prompt, QLineEdit::Normal, QString(), &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}
