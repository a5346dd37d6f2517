#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The message boxes, the folder dialog and the password prompt, behind an interface so that the logic can ask
// the user without knowing about windows, and tests can answer and record. Every box carries the title
// "GX3190 SP Editor".
class Prompter
{
public:
    virtual ~Prompter() = default;

    // Yes and No buttons, question icon; true only for Yes.
    virtual bool question(const QString& text) = 0;
    // OK button with the information, exclamation (warning) or critical icon.
    virtual void information(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void critical(const QString& text) = 0;
    // The folder dialog, with each of shortcuts (folders) offered beside the folder view: the chosen folder,
    // or an empty text when cancelled.
    virtual QString chooseFolder(const QString& prompt, const QStringList& shortcuts) = 0;
    // A password prompt, which never shows what is typed: the answer, or nothing when cancelled.
    virtual std::optional<QString> askPassword(const QString& prompt) = 0;
};
