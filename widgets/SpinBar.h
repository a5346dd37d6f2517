#pragma once

#include <QScrollBar>

// A vertical scroll bar one arrow-pair tall (17 x 17), used as a spin control: nothing but its two arrow
// buttons. A left press on the upper half steps the value down by one, on the lower half up by one (the
// value grows downwards), and holding the button repeats. It draws itself in the skin's brushed metal, so
// it looks the same under every platform style, and it has no context menu and no track to drag. Tab
// reaches it; Up and Down then step like its arrows, Page Up and Page Down too, Home and End go to the ends.
class SpinBar final : public QScrollBar
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpinBar)

public:
    explicit SpinBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Arrow
    {
        None,
        Up,
        Down
    };
    Arrow arrowAt(QPointF position) const;
    void drawArrow(QPainter& painter, const QRect& box, bool up, bool pressed) const;

    Arrow m_pressed = Arrow::None;
};
