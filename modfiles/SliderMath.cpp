#include "modfiles/SliderMath.h"

#include "core/TextRules.h"

namespace SliderMath {

float Scale(Slider slider)
{
    return slider == Slider::BotSkill ? BotSkillScale : MaxBotsScale;
}

int Value(Slider slider, float left)
{
    // The product of two floats is exact in double, so the only rounding is the one to single precision.
    const auto position = static_cast<float>(static_cast<double>(Scale(slider)) * static_cast<double>(left) - 2.0);
    const int value = static_cast<int>(TextRules::RoundHalfEven(static_cast<double>(position)));
    return slider == Slider::BotSkill ? value + 1 : value;
}

std::optional<float> Jump(float x)
{
    if (x >= LeftEnd && x <= 168.0f) {
        // The knob's centre goes under the pointer, except in the first 22 active pixels.
        const float left = x - 11.0f;
        return left < 13.0f ? LeftEnd : left;
    }
    if (x > 168.0f && x <= TravelRight)
        return RightEnd;
    return std::nullopt;
}

int GrabOffset(float xOnKnob)
{
    return static_cast<int>(TextRules::RoundHalfEven(static_cast<double>(xOnKnob)));
}

float DragStep(float left, float xOnKnob, int grabOffset)
{
    if (left >= LeftEnd && left + static_cast<float>(KnobWidth) <= TravelRight)
        left = left + xOnKnob - static_cast<float>(grabOffset);
    if (left < LeftEnd)
        left = LeftEnd;
    if (left + static_cast<float>(KnobWidth) > TravelRight)
        left = RightEnd;
    return left;
}

float PlaceFromValue(Slider slider, double value)
{
    return static_cast<float>(value) / Scale(slider);
}

} // namespace SliderMath
