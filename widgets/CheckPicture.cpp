#include "widgets/CheckPicture.h"

#include "widgets/Accessibility.h"
#include "widgets/Artwork.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CheckPicture::CheckPicture(QWidget* parent) : QWidget(parent)
{
    setFixedSize(16, 16);
    setFocusPolicy(Qt::StrongFocus);
    Accessibility::installInterfaces();
}

void CheckPicture::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    update();
    // A screen reader says "checked" or "not checked" as the picture changes, as for any check box.
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void CheckPicture::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const qreal dpr = devicePixelRatioF();
    // A disabled switch stays recognisable but visibly out of reach.
    if (!isEnabled())
        painter.setOpacity(0.45);
    painter.drawPixmap(rect(), m_on ? Artwork::checkOn(dpr) : Artwork::checkOff(dpr));
    if (m_keyboardFocus && hasFocus())
        Artwork::drawFocusRing(painter, rect().adjusted(0, 0, -1, -1));
}

void CheckPicture::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void CheckPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    // A click is a press and a release on the picture; sliding off first cancels it, as with any button.
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void CheckPicture::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        if (!event->isAutoRepeat())
            emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Only a focus reached by the keyboard is outlined; a mouse click needs no reminder of where it went.
void CheckPicture::focusInEvent(QFocusEvent* event)
{
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QWidget::focusInEvent(event);
    update();
}

void CheckPicture::focusOutEvent(QFocusEvent* event)
{
    m_keyboardFocus = false;
    QWidget::focusOutEvent(event);
    update();
}
