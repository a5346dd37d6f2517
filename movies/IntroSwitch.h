#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Prompter;

// The start-up movie switch: the five movies of a mod's Movies folder are switched off by moving each to
// its name followed by ".OFF", and on by moving them back. Only "Movies/Intro.bik" decides the state.
class IntroSwitch final
{
public:
    // The five movies, relative to the mod folder, in the order they are handled.
    static const QStringList IntroMovies;

    // What a switch did to one movie: moved to its other name, skipped (not there under the name it is moved
    // from) or failed (kept its name).
    enum class Outcome
    {
        Moved,
        Skipped,
        Failed
    };
    struct Result
    {
        QList<Outcome> movies; // one for each of IntroMovies, in its order
        QStringList failures;  // each as the path and the reason; a folder whose new names may not last too
        bool succeeded() const { return failures.isEmpty(); }
    };

    bool IntroOn() const { return m_introOn; }

    // Sets the state from the files: on while "Movies/Intro.bik" exists.
    bool ReadIntroStatus(const QString& modFolder);
    // Whether switching the movies on (or off) would rename any of them.
    static bool wouldSwitch(const QString& modFolder, bool on);

    // The click on the switch, after its sound: asks "Remove Intro?" or "Restore Intro?", switches on Yes,
    // reports the outcome (naming any movie that failed) and takes the answered state, or after a failure
    // the state read from the files again.
    // Returns what was done, nothing when the user answered No. busy, when given, is called with true before
    // the files are moved and with false after (never around a message box), so a window can show its busy
    // cursor.
    std::optional<Result> toggle(const QString& modFolder, Prompter& prompter,
                                 const std::function<void(bool)>& busy = {});
    // The same towards a state given, whatever the state held.
    std::optional<Result> switchTo(bool on, const QString& modFolder, Prompter& prompter,
                                   const std::function<void(bool)>& busy = {});

    // Each present movie is renamed to its other name in its folder (replacing), and the folder's new names
    // are then made durable; a movie whose rename fails keeps its name.
    Result RemoveIntro(const QString& modFolder);
    Result RestoreIntro(const QString& modFolder);

private:
    bool m_introOn = false;
};
