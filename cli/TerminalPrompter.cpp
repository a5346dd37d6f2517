#include "cli/TerminalPrompter.h"

#include <QStringList>

#include <cstdio>
#include <iterator>
#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <termios.h>
#include <unistd.h>
#endif

namespace CommandLine {

namespace {

void write(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

#ifndef Q_OS_WIN
// The terminal's mode while a password is typed with echo off: a signal that ends the program then must give
// the echo back first, or the user's shell is left typing blind.
termios savedMode;
constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreModeAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedMode);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
#endif

// Echo off while a password is typed on a terminal; the old mode comes back when this ends, or when a signal
// ends the program before.
class HiddenInput final
{
public:
    HiddenInput()
    {
#ifdef Q_OS_WIN
        m_input = GetStdHandle(STD_INPUT_HANDLE);
        m_terminal = GetConsoleMode(m_input, &m_mode) != 0;
        m_hidden = m_terminal && SetConsoleMode(m_input, m_mode & ~DWORD(ENABLE_ECHO_INPUT)) != 0;
#else
        m_terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &m_mode) == 0;
        if (m_terminal) {
            savedMode = m_mode;
            struct sigaction restore = {};
            restore.sa_handler = restoreModeAndEnd;
            sigemptyset(&restore.sa_mask);
            for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
                sigaction(EndingSignals[i], &restore, &m_oldActions[i]);
            termios quiet = m_mode;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            m_hidden = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
#endif
    }
    ~HiddenInput()
    {
#ifdef Q_OS_WIN
        if (m_hidden)
            SetConsoleMode(m_input, m_mode);
#else
        if (m_hidden)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_mode);
        if (m_terminal) {
            for (std::size_t i = 0; i < std::size(EndingSignals); ++i)
                sigaction(EndingSignals[i], &m_oldActions[i], nullptr);
        }
#endif
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

    // The terminal showed the line and its end itself.
    bool echoed() const
    {
        return m_terminal && !m_hidden;
    }

private:
    bool m_terminal = false;
    bool m_hidden = false;
#ifdef Q_OS_WIN
    HANDLE m_input = nullptr;
    DWORD m_mode = 0;
#else
    termios m_mode{};
    struct sigaction m_oldActions[std::size(EndingSignals)] = {};
#endif
};

// One line of standard input without its end, or nothing at the end of the input.
std::optional<QString> readLine()
{
    const HiddenInput hidden;
    std::string line;
    bool any = false;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(static_cast<char>(c));
    }
    if (!hidden.echoed())
        write(stderr, QStringLiteral("\n"));
    if (!any)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace

void printOut(const QString& text)
{
    write(stdout, text);
}

void printError(const QString& line)
{
    write(stderr, line + QLatin1Char('\n'));
}

void TerminalPrompter::print(const QString& text, const QString& after) const
{
    QStringList lines;
    for (const QString& line :
         QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines.append(line);
    if (!after.isEmpty() && !lines.isEmpty())
        lines.last() += QLatin1Char(' ') + after;
    if (m_subject.isEmpty()) {
        for (const QString& line : lines)
            printError(line);
    } else {
        printError(m_subject + QStringLiteral(": ") + lines.join(QLatin1Char(' ')));
    }
}

bool TerminalPrompter::question(const QString& text)
{
    print(text, QStringLiteral("Yes (asked on the command line)."));
    return true;
}

void TerminalPrompter::information(const QString& text)
{
    print(text);
}

void TerminalPrompter::warning(const QString& text)
{
    print(text);
}

void TerminalPrompter::critical(const QString& text)
{
    ++m_errors;
    print(text);
}

QString TerminalPrompter::chooseFolder(const QString& /*prompt*/, const QStringList& /*shortcuts*/)
{
    return {};
}

std::optional<QString> TerminalPrompter::askPassword(const QString& prompt)
{
    if (!m_mayAsk || m_inputEnded)
        return std::nullopt;
    write(stderr, (m_subject.isEmpty() ? prompt : m_subject + QStringLiteral(": ") + prompt) + QLatin1Char(' '));
    const std::optional<QString> answer = readLine();
    if (!answer) {
        m_inputEnded = true;
        return std::nullopt;
    }
    return answer;
}

void attachToConsole()
{
#ifdef Q_OS_WIN
    // Output redirected to a file or pipe already works; only a console has to be attached.
    if (GetStdHandle(STD_ERROR_HANDLE) != nullptr && GetStdHandle(STD_ERROR_HANDLE) != INVALID_HANDLE_VALUE)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::FILE* stream = nullptr;
    freopen_s(&stream, "CONOUT$", "w", stdout);
    freopen_s(&stream, "CONOUT$", "w", stderr);
    freopen_s(&stream, "CONIN$", "r", stdin);
#endif
}

} // namespace CommandLine
