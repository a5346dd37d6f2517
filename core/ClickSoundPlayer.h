#pragma once

// The three click sounds, named after what plays them; the numbers are the kinds 1 to 3 they have always
// been known by.
enum class ClickSound
{
    Button = 1,      // an image button let go, and the intro switch
    ListOrCheck = 2, // a double-click on a list row, a save check, the cold breath check
    BarOrSlider = 3, // a scroll bar's value change, a press on a bot slider
};

// Plays the click sounds, behind an interface so that the windows need no sound device and tests can
// record what was played.
class ClickSoundPlayer
{
public:
    virtual ~ClickSoundPlayer() = default;
    // Starts the sound and returns at once; a sound still playing is cut off by it.
    virtual void PlayClickSound(ClickSound kind) = 0;
};
