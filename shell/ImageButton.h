#pragma once

#include <QPixmap>
#include <QWidget>

class ClickSoundPlayer;

// A button made of pictures: the face shows the normal image (light, the word in capitals) and, while the
// left button is held on it, the pressed image (dark). On release of the left button it shows the normal
// image, plays click sound 1 and then emits clicked(). Other mouse buttons do nothing. With the keyboard
// focus, Space and Enter act exactly like a left click.
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
    QPixmap normalImage() const { return m_normal; }
    QPixmap pressedImage() const { return m_pressed; }
    void setSounds(ClickSoundPlayer* sounds) { m_sounds = sounds; }

    // True while the face shows the pressed image.
    bool isDown() const { return m_down; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void press();
    void release();
    void renderFaces();

    QString m_word;
    QPixmap m_normal;
    QPixmap m_pressed;
    bool m_ownImages = true;
    bool m_down = false;
    ClickSoundPlayer* m_sounds = nullptr;
};
