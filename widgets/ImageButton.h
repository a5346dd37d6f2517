#pragma once

#include <QPixmap>
#include <QWidget>

class ClickSoundPlayer;

// A button made of pictures: the face shows the normal image (light, the word in capitals) and, while the
// left button is held on it, the pressed image (dark). On release of the left button it shows the normal
// image, plays click sound 1 and then emits clicked(). Other mouse buttons do nothing. With the keyboard
// focus, Space and Enter act exactly like a left click: the pressed face while the key is down, and on its
// release the normal face, the sound and clicked().
class ImageButton final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageButton)

public:
    explicit ImageButton(QWidget* parent = nullptr);

    // The images the hidden holders keep ("1" pressed, "2" normal). Without images the button draws its
    // own face from the word (setWord) at its size.
    void setImages(const QPixmap& normal, const QPixmap& pressed);
    void setWord(const QString& word);
    QString word() const { return m_word; }
    // The faces as they are painted now (drawn faces follow the button's size and scale).
    QPixmap normalImage() const;
    QPixmap pressedImage() const;
    void setSounds(ClickSoundPlayer* sounds) { m_sounds = sounds; }

    // True while the face shows the pressed image.
    bool isDown() const { return m_down; }

    // A whole click as the left button makes it: pressed face, normal face, sound, clicked(). Assistive
    // tools press the button through this.
    void click();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void press();
    void release();
    void renderFaces() const;
    void ensureFaces() const;
    void forgetFaces();

    QString m_word;
    mutable QPixmap m_normal;
    mutable QPixmap m_pressed;
    bool m_ownImages = true;
    bool m_down = false;
    bool m_keyboardFocus = false;
    ClickSoundPlayer* m_sounds = nullptr;
};
