#pragma once

#include <QPixmap>
#include <QWidget>

// A 16 x 16 picture that acts as a check box: the lit green on-image or the dark off-image. It has no
// pressed image; a plain left click (press and release on it) emits clicked(), and the owner plays the
// sound and sets the image. A disabled picture takes no clicks. Space and Enter act as a click.
class CheckPicture final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CheckPicture)

public:
    explicit CheckPicture(QWidget* parent = nullptr);

    void setOn(bool on);
    bool isOn() const { return m_on; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_on = false;
    bool m_pressed = false;
    bool m_keyboardFocus = false;
};
