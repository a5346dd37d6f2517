#include "widgets/SpinBar.h"

#include "widgets/Artwork.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// The platform's first-repeat delay and repeat rate for scroll bar arrows.
constexpr int RepeatDelayMs = 500;
constexpr int RepeatIntervalMs = 50;

} // namespace

SpinBar::SpinBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, 100);
    setSingleStep(1);
    setPageStep(1);
    // Only Tab gives it the focus: a click on an arrow must not take the focus from a box being typed in.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SpinBar::Arrow SpinBar::arrowAt(QPointF position) const
{
    if (!rect().contains(position.toPoint()))
        return Arrow::None;
    // The middle row of an odd height belongs to the upper arrow, as the upper button is drawn over it.
    return position.y() * 2 < height() ? Arrow::Up : Arrow::Down;
}

void SpinBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_pressed != Arrow::None)
        return;
    m_pressed = arrowAt(event->position());
    if (m_pressed == Arrow::None)
        return;
    update();
    const SliderAction action = m_pressed == Arrow::Up ? SliderSingleStepSub : SliderSingleStepAdd;
    triggerAction(action);
    setRepeatAction(action, RepeatDelayMs, RepeatIntervalMs);
}

void SpinBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_pressed == Arrow::None)
        return;
    m_pressed = Arrow::None;
    setRepeatAction(SliderNoAction);
    update();
}

void SpinBar::mouseMoveEvent(QMouseEvent* event)
{
    // Like a platform arrow button: leaving it while held pauses the repeat, coming back resumes it.
    event->accept();
    if (m_pressed == Arrow::None)
        return;
    const SliderAction action = m_pressed == Arrow::Up ? SliderSingleStepSub : SliderSingleStepAdd;
    if (arrowAt(event->position()) == m_pressed) {
        if (repeatAction() == SliderNoAction)
            setRepeatAction(action, RepeatDelayMs, RepeatIntervalMs);
    } else {
        setRepeatAction(SliderNoAction);
    }
}

void SpinBar::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

void SpinBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_pressed = Arrow::None;
        setRepeatAction(SliderNoAction);
    }
    QScrollBar::changeEvent(event);
}

void SpinBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int upperHeight = (height() + 1) / 2;
    drawArrow(painter, QRect(0, 0, width(), upperHeight), true, m_pressed == Arrow::Up);
    drawArrow(painter, QRect(0, upperHeight, width(), height() - upperHeight), false, m_pressed == Arrow::Down);
    if (hasFocus())
        Artwork::drawFocusRing(painter, rect().adjusted(0, 0, -1, -1));
}

void SpinBar::drawArrow(QPainter& painter, const QRect& box, bool up, bool pressed) const
{
    // A small brushed-metal button with a bevel, sunk while pressed, and a dark triangle.
    QLinearGradient metal(box.topLeft(), box.bottomLeft());
    metal.setColorAt(0.0, pressed ? QColor(96, 100, 108) : QColor(206, 210, 216));
    metal.setColorAt(1.0, pressed ? QColor(128, 132, 140) : QColor(150, 155, 163));
    painter.fillRect(box, metal);
    painter.setPen(pressed ? QColor(40, 42, 46) : QColor(240, 242, 246));
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(pressed ? QColor(180, 184, 190) : QColor(40, 42, 46));
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());

    const bool atLimit = up ? value() <= minimum() : value() >= maximum();
    QColor ink = pressed ? QColor(250, 250, 250) : QColor(24, 26, 30);
    if (!isEnabled() || atLimit)
        ink = QColor(112, 116, 124);
    const QPointF centre = QRectF(box).center() + (pressed ? QPointF(0.5, 0.5) : QPointF());
    const qreal half = 3.5;
    const qreal rise = 2.0;
    QPainterPath triangle;
    if (up) {
        triangle.moveTo(centre.x() - half, centre.y() + rise);
        triangle.lineTo(centre.x() + half, centre.y() + rise);
        triangle.lineTo(centre.x(), centre.y() - rise);
    } else {
        triangle.moveTo(centre.x() - half, centre.y() - rise);
        triangle.lineTo(centre.x() + half, centre.y() - rise);
        triangle.lineTo(centre.x(), centre.y() + rise);
    }
    triangle.closeSubpath();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(triangle, ink);
    painter.setRenderHint(QPainter::Antialiasing, false);
}
