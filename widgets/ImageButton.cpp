#include "widgets/ImageButton.h"

#include "core/ClickSoundPlayer.h"
#include "widgets/Accessibility.h"
#include "widgets/Artwork.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool IsActivationKey(const QKeyEvent* event)
{
    const int key = event->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

// "SAVE" reads as "Save" to a screen reader; words of one letter or none stay as they are.
QString SpokenWord(const QString& word)
{
    if (word.size() < 2)
        return word;
    return word.left(1).toUpper() + word.mid(1).toLower();
}

} // namespace

ImageButton::ImageButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    Accessibility::installInterfaces();
}

void ImageButton::click()
{
    if (!isEnabled())
        return;
    press();
    release();
}

void ImageButton::setImages(const QPixmap& normal, const QPixmap& pressed)
{
    m_ownImages = normal.isNull() || pressed.isNull();
    if (m_ownImages) {
        forgetFaces();
    } else {
        m_normal = normal;
        m_pressed = pressed;
    }
    update();
}

void ImageButton::setWord(const QString& word)
{
    m_word = word;
    setAccessibleName(SpokenWord(word));
    if (m_ownImages)
        forgetFaces();
    update();
}

QPixmap ImageButton::normalImage() const
{
    ensureFaces();
    return m_normal;
}

QPixmap ImageButton::pressedImage() const
{
    ensureFaces();
    return m_pressed;
}

// Drawn faces are painted where they are first used, not when the word or size is set: the windows are all
// made at start, and most of their buttons are not seen until much later.
void ImageButton::forgetFaces()
{
    m_normal = {};
    m_pressed = {};
}

// A hidden widget gets its resize event only when shown, so the faces are checked wherever they are used.
void ImageButton::ensureFaces() const
{
    if (!m_ownImages)
        return;
    const qreal dpr = devicePixelRatioF();
    const QSize pixels(qRound(width() * dpr), qRound(height() * dpr));
    const bool stale =
        m_normal.isNull() || m_normal.size() != pixels || !qFuzzyCompare(m_normal.devicePixelRatio(), dpr);
    if (stale)
        renderFaces();
}

void ImageButton::renderFaces() const
{
    if (size().isEmpty()) {
        m_normal = {};
        m_pressed = {};
        return;
    }
    const qreal dpr = devicePixelRatioF();
    m_normal = Artwork::buttonFace(size(), m_word, false, dpr);
    m_pressed = Artwork::buttonFace(size(), m_word, true, dpr);
}

void ImageButton::paintEvent(QPaintEvent* /*event*/)
{
    // The screen may have changed under us (a window dragged to a monitor with another scale).
    ensureFaces();
    QPainter painter(this);
    const QPixmap& face = m_down ? m_pressed : m_normal;
    if (!face.isNull())
        painter.drawPixmap(rect(), face);
    if (m_keyboardFocus && hasFocus())
        Artwork::drawFocusRing(painter, rect().adjusted(1, 1, -2, -2));
}

void ImageButton::press()
{
    m_down = true;
    repaint();
}

void ImageButton::release()
{
    m_down = false;
    // The face is back to normal and the sound has started before the action runs, which may open a box.
    repaint();
    if (m_sounds)
        m_sounds->PlayClickSound(ClickSound::Button);
    emit clicked();
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    // Other buttons are swallowed so that they do not reach the window behind (which would start a drag).
    event->accept();
    if (event->button() == Qt::LeftButton)
        press();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && m_down)
        release();
}

// Keys act like the mouse: the pressed face while the key is down, the click when it comes up.
void ImageButton::keyPressEvent(QKeyEvent* event)
{
    if (!IsActivationKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        press();
}

void ImageButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!IsActivationKey(event)) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat() && m_down)
        release();
}

void ImageButton::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    m_keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    QWidget::focusInEvent(event);
    update();
}

void ImageButton::focusOutEvent(QFocusEvent* event)
{
    // A key held down while the focus leaves must not click later, nor leave the face pressed.
    if (m_down && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        m_down = false;
    m_keyboardFocus = false;
    QWidget::focusOutEvent(event);
    update();
}

void ImageButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_ownImages)
        forgetFaces();
}

void ImageButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
