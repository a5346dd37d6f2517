#include "widgets/TextStyle.h"

#include <QLabel>
#include <QVariant>

namespace {

const char* const TwinProperty = "gxShadowTwin";

QLabel* TwinOf(const QLabel* label)
{
    const QVariant value = label->property(TwinProperty);
    return value.isValid() ? qobject_cast<QLabel*>(value.value<QObject*>()) : nullptr;
}

} // namespace

namespace TextStyle {

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    // The face the artwork was drawn for is a Windows font; these are its look-alikes elsewhere (Debian ships
    // P052 and URW Palladio with the standard PostScript fonts).
    QFont::insertSubstitutions(QStringLiteral("Palatino Linotype"),
                               {QStringLiteral("Palatino"), QStringLiteral("P052"), QStringLiteral("URW Palladio L"),
                                QStringLiteral("Book Antiqua"), QStringLiteral("Palatino LT STD")});
}

QFont font(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Palatino Linotype"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void styleLabel(QLabel* label, qreal pointSize, const QColor& colour, bool bold)
{
    label->setFont(font(pointSize, bold));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* addShadow(QLabel* label, const QString& twinName)
{
    if (QLabel* existing = TwinOf(label))
        return existing;
    auto* twin = new QLabel(label->parentWidget());
    if (!twinName.isEmpty())
        twin->setObjectName(twinName);
    twin->setTextFormat(label->textFormat());
    twin->setWordWrap(label->wordWrap());
    twin->setAlignment(label->alignment());
    twin->setFont(label->font());
    twin->setText(label->text());
    twin->setGeometry(label->geometry().translated(-1, 1));
    twin->setAutoFillBackground(false);
    // A style sheet of the window (black labels) would outrank a palette, so the twin carries its own.
    twin->setStyleSheet(QStringLiteral("color: rgb(128, 128, 128); background: transparent;"));
    twin->setVisible(label->isVisibleTo(label->parentWidget()));
    twin->stackUnder(label);
    label->setProperty(TwinProperty, QVariant::fromValue<QObject*>(twin));
    return twin;
}

void setCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    if (QLabel* twin = TwinOf(label))
        twin->setText(caption);
}

} // namespace TextStyle
