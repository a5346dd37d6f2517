#pragma once

#include <optional>

// The arithmetic of the main window's two home-made sliders, in track pixels and single precision, so that
// every knob position gives exactly the value the game's own tools have always shown for it.
namespace SliderMath {

enum class Slider
{
    BotSkill,
    MaxBots
};

// Value units per pixel of knob travel, rounded to single precision.
inline constexpr float BotSkillScale = static_cast<float>(100.0 / 155.0);
inline constexpr float MaxBotsScale = static_cast<float>(255.0 / 155.0);

inline constexpr int TrackWidth = 181;
inline constexpr int TrackHeight = 19;
inline constexpr int KnobWidth = 22;
inline constexpr int KnobHeight = 15;
inline constexpr int KnobTop = 2;
// The knob's left edge at the two ends of its travel; at the right end its right edge is two pixels inside
// the track.
inline constexpr float LeftEnd = 2.0f;
inline constexpr float RightEnd = 157.0f;
inline constexpr float TravelRight = 179.0f;

float scale(Slider slider);

// The value shown for the knob's left edge L: nearest integer, halves to even, of the product minus 2
// taken to single precision (plus 1 for the bot skill).
int value(Slider slider, float left);

// A left press on the track at X: the knob's new left edge, or nothing when the press is outside the
// active part of the track.
std::optional<float> jump(float x);

// A left press on the knob at X from its left edge: the grab offset kept for the drag.
int grabOffset(float xOnKnob);

// One drag step with the pointer at X from the knob's current left edge. A knob outside its travel (as a
// load can place it) does not follow the pointer but snaps to the nearer end.
float dragStep(float left, float xOnKnob, int grabOffset);

// Where a value read from the file puts the knob: the value divided by the scale, unclamped.
float placeFromValue(Slider slider, double value);

} // namespace SliderMath
