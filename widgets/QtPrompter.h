#pragma once

#include "core/Prompter.h"

// The user's answers through Qt's standard message boxes, folder dialog and password prompt, each owned by the
// window the user is looking at.
class QtPrompter final : public Prompter
{
public:
    bool question(const QString& text) override;
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void critical(const QString& text) override;
    QString chooseFolder(const QString& prompt, const QStringList& shortcuts) override;
    std::optional<QString> askPassword(const QString& prompt) override;
};
