#pragma once

#include "core/ClickSoundPlayer.h"
#include "core/Prompter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>

// A Prompter that records every box and answers from a queue: tests script the user's answers and read
// back exactly which boxes were shown, in order.
class RecordingPrompter final : public Prompter
{
public:
    struct Box
    {
        QString kind; // "question", "information", "warning", "critical", "folder", "text"
        QString text;
    };

    QList<Box> boxes;
    std::deque<bool> questionAnswers;               // answered No when empty
    std::deque<QString> folderAnswers;              // cancelled when empty
    std::deque<std::optional<QString>> textAnswers; // cancelled when empty
    // Called after a box is recorded, for tests that must look at the windows while a box is up.
    std::function<void(const Box&)> onBox;

    bool question(const QString& text) override;
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void critical(const QString& text) override;
    QString chooseFolder(const QString& prompt) override;
    std::optional<QString> askText(const QString& prompt) override;

    QStringList kinds() const;
    QStringList texts() const;
    void clear() { boxes.clear(); }

private:
    void record(const QString& kind, const QString& text);
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

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
