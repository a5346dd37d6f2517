#include "widgets/ArtworkPainting.h"

#include "widgets/ArtworkSurfaces.h"

#include "widgets/TextStyle.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

using namespace ArtworkSurfaces;

namespace {

void DrawLogo(QPainter& painter, const QRectF& area)
{
    QFont font = TextStyle::font(10, true);
    font.setPixelSize(30);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2.0);
    QFont small = TextStyle::font(10, true);
    small.setPixelSize(13);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 5.0);

    QPainterPath big;
    big.addText(0, 0, font, QStringLiteral("GX3190"));
    QPainterPath word;
    word.addText(0, 0, small, QStringLiteral("EDITOR"));
    const QRectF bigBox = big.boundingRect();
    const QRectF wordBox = word.boundingRect();
    const qreal total = bigBox.width() + 10 + wordBox.width();
    const qreal left = area.left() + (area.width() - total) / 2.0;
    const qreal baseline = area.center().y() + bigBox.height() / 2.0 - 3;
    big.translate(left - bigBox.left(), baseline);
    word.translate(left + bigBox.width() + 10 - wordBox.left(), baseline - 2);

    painter.setRenderHint(QPainter::Antialiasing, true);
    // Drop shadow, then a chrome fill with a hard horizon, then a dark outline.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 170));
    painter.drawPath(big.translated(2, 2));
    painter.drawPath(word.translated(1.5, 1.5));
    const QRectF box = big.boundingRect();
    QLinearGradient chrome(box.topLeft(), box.bottomLeft());
    chrome.setColorAt(0.0, QColor(255, 255, 255));
    chrome.setColorAt(0.48, QColor(196, 202, 212));
    chrome.setColorAt(0.5, QColor(92, 98, 110));
    chrome.setColorAt(0.75, QColor(150, 158, 170));
    chrome.setColorAt(1.0, QColor(226, 230, 236));
    painter.setBrush(chrome);
    painter.setPen(QPen(QColor(8, 10, 12), 1.0));
    painter.drawPath(big);
    QLinearGradient lime(word.boundingRect().topLeft(), word.boundingRect().bottomLeft());
    lime.setColorAt(0.0, QColor(200, 255, 170));
    lime.setColorAt(1.0, QColor(70, 190, 60));
    painter.setBrush(lime);
    painter.setPen(QPen(QColor(8, 20, 8), 0.8));
    painter.drawPath(word);
    // An underline rule that fades out at both ends.
    QLinearGradient rule(QPointF(area.left() + 20, 0), QPointF(area.right() - 20, 0));
    rule.setColorAt(0.0, QColor(120, 220, 100, 0));
    rule.setColorAt(0.5, QColor(120, 220, 100, 200));
    rule.setColorAt(1.0, QColor(120, 220, 100, 0));
    painter.setPen(QPen(QBrush(rule), 1.0));
    painter.drawLine(QPointF(area.left() + 20, baseline + 7.5), QPointF(area.right() - 20, baseline + 7.5));
}

QImage PaintButton(QSize size, bool pressed, qreal dpr)
{
    QImage image = canvas(size, dpr);
    const QRect device = image.rect();
    if (pressed)
        fillBrushed(image, device, QColor(74, 78, 86), QColor(40, 42, 48), 5.0f, 71);
    else
        fillBrushed(image, device, QColor(228, 230, 234), QColor(168, 172, 180), 6.0f, 70);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    painter.setPen(QPen(QColor(12, 12, 14), 1.0));
    painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    if (pressed)
        bevel(painter, r.adjusted(1, 1, -1, -1), QColor(110, 114, 122), QColor(8, 8, 10), true);
    else
        bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(96, 100, 108));
    return image;
}

} // namespace

namespace ArtworkPainting {

QImage paintWordButton(QSize size, const QString& word, bool pressed, qreal dpr)
{
    QImage image = PaintButton(size, pressed, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font = TextStyle::font(8, true);
    font.setPixelSize(qBound(7, size.height() - 7, 14));
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    painter.setFont(font);
    // Pressed, the face sinks: the word moves down and right by a pixel and is lit from below.
    const QRectF textArea = QRectF(QPointF(0, 0), QSizeF(size)).translated(pressed ? 1 : 0, pressed ? 1 : 0);
    const QString caps = word.toUpper();
    if (pressed) {
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(textArea.translated(0, -1), Qt::AlignCenter, caps);
        painter.setPen(QColor(236, 238, 242));
    } else {
        painter.setPen(QColor(255, 255, 255, 220));
        painter.drawText(textArea.translated(0, 1), Qt::AlignCenter, caps);
        painter.setPen(QColor(26, 28, 32));
    }
    painter.drawText(textArea, Qt::AlignCenter, caps);
    painter.end();
    return image;
}

QImage paintWindowFace(bool pressed, bool cross, qreal dpr)
{
    const QSize size(18, 18);
    QImage image = PaintButton(size, pressed, dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPointF shift(pressed ? 1.0 : 0.0, pressed ? 1.0 : 0.0);
    const QColor ink = pressed ? QColor(236, 238, 242) : QColor(26, 28, 32);
    const QColor lift = pressed ? QColor(0, 0, 0, 180) : QColor(255, 255, 255, 200);
    auto draw = [&](QColor colour, QPointF offset) {
        QPen pen(colour, 2.2, Qt::SolidLine, Qt::FlatCap);
        painter.setPen(pen);
        if (cross) {
            painter.drawLine(QPointF(5, 5) + offset, QPointF(13, 13) + offset);
            painter.drawLine(QPointF(13, 5) + offset, QPointF(5, 13) + offset);
        } else {
            painter.drawLine(QPointF(5, 12.5) + offset, QPointF(13, 12.5) + offset);
        }
    };
    draw(lift, shift + QPointF(0, pressed ? -1.0 : 1.0));
    draw(ink, shift);
    painter.end();
    return image;
}

QImage paintCheck(bool on, qreal dpr)
{
    QImage image = canvas(QSize(16, 16), dpr);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer(0, 0, 16, 16);
    // A recessed socket: dark rim, lighter lip at the bottom right.
    painter.fillRect(outer, QColor(14, 15, 17));
    bevel(painter, outer, QColor(0, 0, 0), QColor(150, 154, 160), true);
    const QRectF lamp = outer.adjusted(2, 2, -2, -2);
    if (on) {
        QRadialGradient glow(lamp.center() - QPointF(1.2, 1.2), 8.0);
        glow.setColorAt(0.0, QColor(214, 255, 190));
        glow.setColorAt(0.35, QColor(96, 232, 80));
        glow.setColorAt(0.8, QColor(24, 150, 30));
        glow.setColorAt(1.0, QColor(8, 80, 14));
        painter.fillRect(lamp, glow);
        QRadialGradient halo(lamp.center(), 9.0);
        halo.setColorAt(0.6, QColor(120, 255, 100, 0));
        halo.setColorAt(1.0, QColor(120, 255, 100, 90));
        painter.fillRect(outer.adjusted(1, 1, -1, -1), halo);
    } else {
        QLinearGradient glass(lamp.topLeft(), lamp.bottomRight());
        glass.setColorAt(0.0, QColor(44, 58, 46));
        glass.setColorAt(1.0, QColor(12, 20, 14));
        painter.fillRect(lamp, glass);
    }
    // The glass catches the light at its top left either way.
    QLinearGradient shine(lamp.topLeft(), QPointF(lamp.left(), lamp.center().y()));
    shine.setColorAt(0.0, QColor(255, 255, 255, on ? 150 : 60));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawRoundedRect(lamp.adjusted(1, 1, -1, -lamp.height() / 2), 1.5, 1.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
    painter.drawRect(lamp.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.end();
    return image;
}

QImage paintTrack(qreal dpr)
{
    const QSize size(181, 19);
    QImage image = canvas(size, dpr);
    fillDarkTexture(image, image.rect(), QColor(22, 23, 26), 40);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    // The groove is cut into the plate: shadow falls on its top and left inner edges.
    QLinearGradient depth(r.topLeft(), r.bottomLeft());
    depth.setColorAt(0.0, QColor(0, 0, 0, 150));
    depth.setColorAt(0.3, QColor(0, 0, 0, 30));
    depth.setColorAt(1.0, QColor(255, 255, 255, 18));
    painter.fillRect(r, depth);
    painter.setRenderHint(QPainter::Antialiasing, false);
    bevel(painter, r, QColor(0, 0, 0), QColor(232, 234, 238), true);
    bevel(painter, r.adjusted(1, 1, -1, -1), QColor(50, 52, 56), QColor(120, 124, 130), true);
    // A centre slot with tick marks every tenth of the travel.
    painter.setPen(QPen(QColor(0, 0, 0), 1.0));
    painter.drawLine(QPointF(8, 9.5), QPointF(173, 9.5));
    painter.setPen(QPen(QColor(90, 94, 100), 1.0));
    painter.drawLine(QPointF(8, 10.5), QPointF(173, 10.5));
    for (int i = 0; i <= 10; ++i) {
        const qreal x = 13.0 + i * 15.5;
        painter.setPen(QPen(QColor(120, 200, 110, i % 5 == 0 ? 200 : 110), 1.0));
        painter.drawLine(QPointF(x + 0.5, i % 5 == 0 ? 4.0 : 5.5), QPointF(x + 0.5, 7.5));
    }
    painter.end();
    return image;
}

QImage paintKnob(qreal dpr)
{
    const QSize size(22, 15);
    QImage image = canvas(size, dpr);
    fillBrushed(image, image.rect(), QColor(236, 238, 242), QColor(150, 154, 162), 6.0f, 50);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    painter.setPen(QPen(QColor(10, 10, 12), 1.0));
    painter.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    bevel(painter, r.adjusted(1, 1, -1, -1), Qt::white, QColor(80, 84, 92));
    // Three grip grooves.
    for (int i = 0; i < 3; ++i) {
        const qreal x = 7.5 + i * 3.0;
        painter.setPen(QPen(QColor(60, 64, 70), 1.0));
        painter.drawLine(QPointF(x, 4), QPointF(x, 11));
        painter.setPen(QPen(QColor(255, 255, 255, 220), 1.0));
        painter.drawLine(QPointF(x + 1, 4), QPointF(x + 1, 11));
    }
    painter.end();
    return image;
}

QImage paintMainBackground(const QList<QRect>& plates, const QList<QRect>& grooves, qreal dpr)
{
    const QSize size(449, 360);
    QImage image = canvas(size, dpr);
    fillDarkTexture(image, image.rect(), QColor(38, 40, 45), 10);
    // The title banner: a darker brushed band with a bright lower edge.
    fillBrushed(image, deviceRect(QRectF(1, 1, 447, 59), dpr), QColor(58, 62, 70), QColor(24, 26, 30), 4.0f, 11);
    {
        QPainter painter(&image);
        vignette(painter, QRectF(QPointF(0, 0), QSizeF(size)), 150);
        painter.setPen(QPen(QColor(0, 0, 0), 1.0));
        painter.drawLine(QPointF(1, 59.5), QPointF(448, 59.5));
        painter.setPen(QPen(QColor(150, 156, 166), 1.0));
        painter.drawLine(QPointF(1, 60.5), QPointF(448, 60.5));
        // Hazard marks at the banner's left end.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setClipRect(QRectF(10, 12, 34, 36));
        for (int i = -2; i < 6; ++i) {
            QPainterPath stripe;
            const qreal x = 10 + i * 9.0;
            stripe.moveTo(x, 48);
            stripe.lineTo(x + 4.5, 48);
            stripe.lineTo(x + 4.5 + 18, 12);
            stripe.lineTo(x + 18, 12);
            stripe.closeSubpath();
            painter.fillPath(stripe, QColor(200, 170, 40, 150));
        }
        painter.setClipping(false);
        painter.setPen(QPen(QColor(0, 0, 0, 200), 1.0));
        painter.drawRect(QRectF(10.5, 12.5, 33, 35));
        DrawLogo(painter, QRectF(48, 2, 340, 56));
    }
    // The group plates where the labels sit.
    quint32 seed = 21;
    for (const QRect& plate : plates)
        panel(image, plate, seed++);
    for (const QRect& groove : grooves)
        divider(image, groove.left(), groove.right(), groove.top());
    {
        QPainter painter(&image);
        // The client area's white edge, as on every window of the editor.
        painter.setPen(QPen(Qt::white, 1.0));
        painter.drawRect(QRectF(0.5, 0.5, 448, 359));
    }
    return image;
}

QImage paintDialogBackground(QSize size, qreal dpr)
{
    QImage image = canvas(size, dpr);
    fillDarkTexture(image, image.rect(), QColor(40, 42, 47), 12);
    QPainter painter(&image);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    vignette(painter, r, 130);
    // A faint top light so that the white titles sit on a slightly brighter band.
    QLinearGradient light(r.topLeft(), QPointF(0, qMin<qreal>(40, r.height())));
    light.setColorAt(0.0, QColor(255, 255, 255, 22));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(r, light);
    painter.end();
    return image;
}

QImage paintIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal s = side;
    const QRectF plate(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient metal(plate.topLeft(), plate.bottomLeft());
    metal.setColorAt(0.0, QColor(92, 98, 110));
    metal.setColorAt(1.0, QColor(22, 24, 28));
    painter.setPen(QPen(QColor(0, 0, 0), qMax(1.0, s / 32)));
    painter.setBrush(metal);
    painter.drawRoundedRect(plate, s * 0.16, s * 0.16);
    painter.setPen(QPen(QColor(255, 255, 255, 90), qMax(1.0, s / 48)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(plate.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04), s * 0.12, s * 0.12);
    QFont font = TextStyle::font(10, true);
    font.setPixelSize(qMax(6, qRound(s * 0.5)));
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("GX"));
    const QRectF box = text.boundingRect();
    text.translate(plate.center() - box.center());
    QLinearGradient lime(text.boundingRect().topLeft(), text.boundingRect().bottomLeft());
    lime.setColorAt(0.0, QColor(214, 255, 190));
    lime.setColorAt(1.0, QColor(60, 190, 50));
    painter.setPen(QPen(QColor(0, 0, 0), qMax(0.8, s / 40)));
    painter.setBrush(lime);
    painter.drawPath(text);
    painter.end();
    return image;
}

} // namespace ArtworkPainting
