#pragma once

#include "core/Prompter.h"

#include <QString>

#include <optional>

namespace CommandLine {

// Data for scripts goes to standard output, every message to standard error, both as UTF-8.
void printOut(const QString& text);
void printError(const QString& line);

// The message boxes of the core, on the terminal. Messages are printed to standard error; questions are
// printed and answered Yes, because the user asked for the change on the command line; there is no folder
// dialog. A password prompt (a level archive's) reads one line from standard input, without echo on
// a terminal, unless asking is switched off.
class TerminalPrompter final : public Prompter
{
public:
    explicit TerminalPrompter(bool mayAsk) : m_mayAsk(mayAsk) {}

    // Every message after this one is one line starting with the subject (a level's name); an empty
    // subject prints messages as they are.
    void setSubject(const QString& subject) { m_subject = subject; }
    // The errors told so far (critical boxes).
    int errors() const { return m_errors; }

    bool question(const QString& text) override;
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void critical(const QString& text) override;
    QString chooseFolder(const QString& prompt, const QStringList& shortcuts) override;
    std::optional<QString> askPassword(const QString& prompt) override;

private:
    void print(const QString& text, const QString& after = {}) const;

    bool m_mayAsk;
    bool m_inputEnded = false;
    QString m_subject;
    int m_errors = 0;
};

// Lets a program built for the windowed subsystem print to the console it was started from (Windows only;
// elsewhere it does nothing).
void attachToConsole();

} // namespace CommandLine
