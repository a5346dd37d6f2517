#pragma once

#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>

namespace TestSupport {

// A Prompter that records every box and answers from a queue: tests script the user's answers and read
// back exactly which boxes were shown, in order.
class RecordingPrompter final : public Prompter
{
public:
    struct Box
    {
        QString kind; // "question", "information", "warning", "critical", "folder", "password"
        QString text;
    };

    QList<Box> boxes;
    std::deque<bool> questionAnswers;                   // answered No when empty
    std::deque<QString> folderAnswers;                  // cancelled when empty
    QList<QStringList> folderShortcuts;                 // those each folder dialog offered, in order
    std::deque<std::optional<QString>> passwordAnswers; // cancelled when empty
    // Called after a box is recorded, for tests that must look at the windows while a box is up.
    std::function<void(const Box&)> onBox;

    bool question(const QString& text) override { return record("question", text, questionAnswers, false); }
    void information(const QString& text) override { record("information", text); }
    void warning(const QString& text) override { record("warning", text); }
    void critical(const QString& text) override { record("critical", text); }
    QString chooseFolder(const QString& prompt, const QStringList& shortcuts) override
    {
        folderShortcuts.append(shortcuts);
        return record("folder", prompt, folderAnswers, {});
    }
    std::optional<QString> askPassword(const QString& prompt) override
    {
        return record("password", prompt, passwordAnswers, {});
    }

    QStringList kinds() const { return column(&Box::kind); }
    QStringList texts() const { return column(&Box::text); }
    void clear() { boxes.clear(); }

private:
    void record(const char* kind, const QString& text);
    // Records the box and gives the next answer queued, or the fallback when none is.
    template <typename T> T record(const char* kind, const QString& text, std::deque<T>& answers, T fallback)
    {
        record(kind, text);
        if (answers.empty())
            return fallback;
        fallback = std::move(answers.front());
        answers.pop_front();
        return fallback;
    }
    QStringList column(QString Box::*field) const;
};

class RecordingSounds final : public ClickSoundPlayer
{
public:
    QList<ClickSound> played;
    void PlayClickSound(ClickSound kind) override { played.append(kind); }
};

// A fresh demo game in a temporary folder; fails the current test when it cannot be made.
struct DemoGameFolder
{
    QTemporaryDir dir;
    QString path; // ends with '/'
    DemoGameFolder();
    QString mod(const QString& name) const { return path + QStringLiteral("mods/") + name; }
};

// Tables spell many short texts.
QStringList texts(std::initializer_list<const char*> texts);

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// Every entry under folder by its relative path: a file's bytes, "<folder>", or "-> " and a link's target
// (links are never followed).
QMap<QString, QByteArray> folderContents(const QString& folder);

#ifdef Q_OS_UNIX
// While this lives, a write that would make a file larger than the limit fails as on a full disk.
class FileSizeLimit final
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    quint64 m_old;
    void (*m_oldHandler)(int);
};
#endif

} // namespace TestSupport
