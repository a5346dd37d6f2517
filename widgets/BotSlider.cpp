#include "widgets/BotSlider.h"

#include "core/ClickSoundPlayer.h"
#include "widgets/Artwork.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

BotSlider::BotSlider(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

void BotSlider::setKnob(SliderKnob* knob)
{
    m_knob = knob;
    placeKnob(m_left);
}

void BotSlider::placeKnob(float left)
{
    m_left = left;
    if (!m_knob)
        return;
    // A fractional edge is drawn at the nearest pixel; a knob placed partly or wholly outside the track is
    // clipped by it, since the knob is the track's child.
    const double drawn = std::clamp(std::round(static_cast<double>(left)), -10000.0, 10000.0);
    m_knob->setGeometry(static_cast<int>(drawn), SliderMath::KnobTop, SliderMath::KnobWidth, SliderMath::KnobHeight);
}

void BotSlider::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), Artwork::sliderTrack(devicePixelRatioF()));
    if (!isEnabled())
        painter.fillRect(rect(), QColor(0, 0, 0, 110));
    if (hasFocus())
        Artwork::drawFocusRing(painter, rect().adjusted(0, 0, -1, -1));
}

void BotSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    playSound();
    const std::optional<float> left = SliderMath::jump(static_cast<float>(event->position().x()));
    if (left)
        moveKnobTo(*left);
}

void BotSlider::keyPressEvent(QKeyEvent* event)
{
    // Steps count from the knob's drawn place, so a knob loaded between pixels or outside the track lands
    // on a whole pixel inside it.
    const float drawn = std::round(m_left);
    float target = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        target = drawn - 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        target = drawn + 1;
        break;
    case Qt::Key_PageDown:
        target = drawn - 10;
        break;
    case Qt::Key_PageUp:
        target = drawn + 10;
        break;
    case Qt::Key_Home:
        target = SliderMath::LeftEnd;
        break;
    case Qt::Key_End:
        target = SliderMath::RightEnd;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    playSound();
    moveKnobTo(std::clamp(target, SliderMath::LeftEnd, SliderMath::RightEnd));
}

void BotSlider::knobPressed(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    playSound();
    m_grabOffset = SliderMath::grabOffset(xOnKnob(event));
    m_dragging = true;
}

void BotSlider::knobMoved(QMouseEvent* event)
{
    if (!m_dragging || event->buttons() != Qt::LeftButton)
        return;
    moveKnobTo(SliderMath::dragStep(m_left, xOnKnob(event), m_grabOffset));
}

void BotSlider::knobReleased(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

float BotSlider::xOnKnob(const QMouseEvent* event) const
{
    const double onTrack = event->position().x() + m_knob->x();
    return static_cast<float>(onTrack) - m_left;
}

void BotSlider::moveKnobTo(float left)
{
    placeKnob(left);
    emit valueChosen(SliderMath::value(m_slider, left));
}

void BotSlider::playSound()
{
    if (m_sounds)
        m_sounds->PlayClickSound(ClickSound::BarOrSlider);
}

SliderKnob::SliderKnob(QWidget* parent) : QWidget(parent) {}

BotSlider* SliderKnob::slider() const
{
    return qobject_cast<BotSlider*>(parentWidget());
}

void SliderKnob::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), Artwork::sliderKnob(devicePixelRatioF()));
    if (!isEnabled())
        painter.fillRect(rect(), QColor(0, 0, 0, 110));
}

void SliderKnob::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (BotSlider* owner = slider())
        owner->knobPressed(event);
}

void SliderKnob::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (BotSlider* owner = slider())
        owner->knobMoved(event);
}

void SliderKnob::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (BotSlider* owner = slider())
        owner->knobReleased(event);
}
