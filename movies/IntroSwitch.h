#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Prompter;

// The start-up movie switch: the five movies of a mod's Movies folder are switched off by moving each to
// its name followed by ".OFF", and on by moving them back. Only "Movies/Intro.bik" decides the state.
class IntroSwitch final
{
public:
    // The five movies, relative to the mod folder, in the order they are handled.
    static const QStringList IntroMovies;

    bool IntroOn() const { return m_introOn; }

    // Sets the state from the files: on while "Movies/Intro.bik" exists.
    bool ReadIntroStatus(const QString& modFolder);

    // The click on the switch, after its sound: asks "Remove Intro?" or "Restore Intro?", switches on Yes,
    // reports the outcome (naming any movie that failed) and takes the answered state, or after a failure
    // the state read from the files again.
    // Returns true when the user answered Yes. busy, when given, is called with true before the files are
    // moved and with false after (never around a message box), so a window can show its busy cursor.
    bool toggle(const QString& modFolder, Prompter& prompter, const std::function<void(bool)>& busy = {});

    // Each present movie is renamed to its other name in its folder (replacing), and the folder's new names
    // are then made durable; a movie whose rename fails keeps its name. Returns the failures, each as the
    // path and the reason.
    QStringList RemoveIntro(const QString& modFolder);
    QStringList RestoreIntro(const QString& modFolder);

private:
    bool m_introOn = false;
};
