#include "modfiles/SliderMath.h"

#include "core/TextRules.h"

namespace SliderMath {

float scale(Slider slider)
{
    return slider == Slider::BotSkill ? BotSkillScale : MaxBotsScale;
}

int value(Slider slider, float left)
{
    // The product of two floats is exact in double, so the only rounding is the one to single precision.
    const auto position = static_cast<float>(static_cast<double>(scale(slider)) * static_cast<double>(left) - 2.0);
    const int value = static_cast<int>(TextRules::roundHalfEven(static_cast<double>(position)));
    return slider == Slider::BotSkill ? value + 1 : value;
}

std::optional<float> jump(float x)
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

int grabOffset(float xOnKnob)
{
    return static_cast<int>(TextRules::roundHalfEven(static_cast<double>(xOnKnob)));
}

float dragStep(float left, float xOnKnob, int grabOffset)
{
    if (left >= LeftEnd && left + static_cast<float>(KnobWidth) <= TravelRight)
        left = left + xOnKnob - static_cast<float>(grabOffset);
    if (left < LeftEnd)
        left = LeftEnd;
    if (left + static_cast<float>(KnobWidth) > TravelRight)
        left = RightEnd;
    return left;
}

float placeFromValue(Slider slider, double value)
{
    return static_cast<float>(value) / scale(slider);
}

} // namespace SliderMath
