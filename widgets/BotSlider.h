#pragma once

#include "modfiles/SliderMath.h"

#include <QWidget>

class ClickSoundPlayer;
class SliderKnob;

// One of the main window's two sliders: the track picture (181 x 19) with its knob inside it. A left press
// on the track makes the knob jump, a left press on the knob starts a drag; each plays click sound 3 and
// each jump and drag step reports the value of the knob's new place. The knob's left edge is kept in
// single precision, as the values are computed from it. A disabled track ignores the mouse. Tab reaches the
// track; the arrow keys then move the knob a pixel, Page Up and Page Down ten, Home and End to the ends,
// each step a jump with its sound.
class BotSlider final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BotSlider)

public:
    explicit BotSlider(QWidget* parent = nullptr);

    void setSlider(SliderMath::Slider slider) { m_slider = slider; }
    SliderMath::Slider slider() const { return m_slider; }
    // The knob lives in the form as a child of the track.
    void setKnob(SliderKnob* knob);
    SliderKnob* knob() const { return m_knob; }
    void setSounds(ClickSoundPlayer* sounds) { m_sounds = sounds; }

    float knobLeft() const { return m_left; }
    // Places the knob without reporting a value (the load places it from the file's value).
    void placeKnob(float left);

signals:
    // After every jump and drag step, even when the knob did not move.
    void valueChosen(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class SliderKnob;
    void knobPressed(QMouseEvent* event);
    void knobMoved(QMouseEvent* event);
    void knobReleased(QMouseEvent* event);
    // The pointer's position from the knob's left edge as the values see it (the kept, unrounded edge).
    float xOnKnob(const QMouseEvent* event) const;
    void moveKnobTo(float left);
    void playSound();

    SliderMath::Slider m_slider = SliderMath::Slider::BotSkill;
    SliderKnob* m_knob = nullptr;
    ClickSoundPlayer* m_sounds = nullptr;
    float m_left = SliderMath::LeftEnd;
    int m_grabOffset = 0;
    bool m_dragging = false;
};

// The knob picture (22 x 15). Its mouse events belong to its slider.
class SliderKnob final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SliderKnob)

public:
    explicit SliderKnob(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    BotSlider* slider() const;
};
