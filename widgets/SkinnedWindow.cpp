#include "widgets/SkinnedWindow.h"

#include "widgets/Artwork.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

SkinnedWindow::SkinnedWindow(QSize clientSize, Frame frame, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_frame(frame)
{
    setFixedSize(clientSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPixmap SkinnedWindow::backgroundPicture(qreal dpr) const
{
    return Artwork::dialogBackground(size(), dpr);
}

void SkinnedWindow::paintEvent(QPaintEvent* /*event*/)
{
    const qreal dpr = devicePixelRatioF();
    if (m_background.isNull() || !qFuzzyCompare(m_background.devicePixelRatio(), dpr))
        m_background = backgroundPicture(dpr);
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
    if (m_frame == Frame::WhiteLines) {
        painter.setPen(Qt::white);
        const int right = width() - 1;
        const int bottom = height() - 1;
        painter.drawLine(0, 0, right, 0);
        painter.drawLine(right, 0, right, bottom);
        painter.drawLine(0, bottom, right, bottom);
        painter.drawLine(0, 0, 0, bottom);
    }
}

void SkinnedWindow::showEvent(QShowEvent* event)
{
    if (!m_centred && !parentWidget()) {
        m_centred = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            move(available.center() - rect().center());
        }
    }
    QWidget::showEvent(event);
}

void SkinnedWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    closeRequested();
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event)
{
    m_dragging = false;
    if (!m_movable || event->button() != Qt::LeftButton || childAt(event->position().toPoint()) != nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Wayland lets no client place its own window, so the compositor must do the move. Elsewhere the window
    // moves itself: an X server without a window manager accepts a system move request and then ignores it.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && windowHandle() &&
        windowHandle()->startSystemMove())
        return;
    m_dragOrigin = event->position().toPoint();
    m_dragging = true;
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        m_dragging = false;
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    move(pos() + (event->position().toPoint() - m_dragOrigin));
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
