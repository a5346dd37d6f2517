#pragma once

#include <QPixmap>
#include <QWidget>

// The common frame of the editor's windows: no title bar, a fixed client size, a dark background picture
// and, on the dialogs, white one-pixel lines along the edges. Centred on the screen at its first show.
// Closing through the window system (Alt+F4 and the like) calls closeRequested() instead of closing.
class SkinnedWindow : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SkinnedWindow)

public:
    enum class Frame
    {
        None,
        WhiteLines
    };
    SkinnedWindow(QSize clientSize, Frame frame, QWidget* parent = nullptr);

    // Lets the user move the window by dragging its background (any point not covered by a control).
    void setMovableByBackground(bool movable) { m_movable = movable; }

protected:
    // What closing through the window system means for this window.
    virtual void closeRequested() = 0;
    // The background picture at the given device pixel ratio; the dark texture by default.
    virtual QPixmap backgroundPicture(qreal dpr) const;

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Frame m_frame;
    bool m_movable = false;
    bool m_centred = false;
    QPoint m_dragOrigin;
    bool m_dragging = false;
    mutable QPixmap m_background;
};
