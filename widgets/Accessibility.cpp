#include "widgets/Accessibility.h"

#include "widgets/CheckPicture.h"
#include "widgets/ImageButton.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QVariant>
#include <QWidget>

namespace {

// Set on a control whose name came from here, so that a later pass may replace it but never a name the
// window chose itself.
const char* const AutoNameProperty = "gxAccessibleNameFromCaption";
const char* const WatchedProperty = "gxAccessibleNamesWatched";

const QString ProgramName = QStringLiteral("GX3190 Editor");

struct Pairing
{
    QLatin1String control;
    QLatin1String caption;
};

// The controls whose captions do not follow the scheme.
constexpr Pairing Exceptions[] = {
    {QLatin1String("PictureBotNames"), QLatin1String("LabelLNames")},
    {QLatin1String("ListScores"), QLatin1String("LabelLEditScores")},
    {QLatin1String("ComboLevels"), QLatin1String("Label12")},
    {QLatin1String("VScrollNum"), QLatin1String("LabelLScore")},
    {QLatin1String("LabelScore"), QLatin1String("LabelLScore")},
    {QLatin1String("TextBotName"), QLatin1String("LabelLEditing")},
    {QLatin1String("ListMods"), QLatin1String("LabelLSelectMod")},
    {QLatin1String("LabelLevel"), QLatin1String("LabelEditing")},
    {QLatin1String("PictureSliderBGBS"), QLatin1String("LabelLBotSkill")},
    {QLatin1String("PictureSliderBoxBS"), QLatin1String("LabelLBotSkill")},
    {QLatin1String("PictureSliderBGMB"), QLatin1String("LabelLMaxBots")},
    {QLatin1String("PictureSliderBoxMB"), QLatin1String("LabelLMaxBots")},
};

// Longest first, so that PictureSliderBGBS is read as a slider and not as a picture named SliderBGBS.
constexpr QLatin1String Prefixes[] = {
    QLatin1String("PictureSliderBox"),
    QLatin1String("PictureSliderBG"),
    QLatin1String("VScroll"),
    QLatin1String("Picture"),
    QLatin1String("Label"),
    QLatin1String("List"),
    QLatin1String("Text"),
    QLatin1String("Combo"),
};

QString CaptionName(const QString& control)
{
    for (const Pairing& pairing : Exceptions) {
        if (control == pairing.control)
            return pairing.caption;
    }
    // A caption label names no one but itself.
    if (control.startsWith(QLatin1String("LabelL")))
        return {};
    for (const QLatin1String& prefix : Prefixes) {
        if (control.startsWith(prefix) && control.size() > prefix.size())
            return QStringLiteral("LabelL") + control.mid(prefix.size());
    }
    return {};
}

void NameOnce(QWidget* window)
{
    if (window->windowTitle().isEmpty())
        window->setWindowTitle(ProgramName);
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const QString captionName = CaptionName(control->objectName());
        if (captionName.isEmpty())
            continue;
        auto* caption = window->findChild<QLabel*>(captionName);
        if (!caption)
            continue;
        const QString spoken = Accessibility::spokenCaption(caption->text());
        const bool ours = control->property(AutoNameProperty).toBool();
        if (spoken.isEmpty() || (!ours && !control->accessibleName().isEmpty()))
            continue;
        control->setAccessibleName(spoken);
        control->setProperty(AutoNameProperty, true);
        // Some platforms name a drop-down list by its current entry and read its caption only through the
        // label relation, which a buddy gives. An "&" would become a mnemonic, so such captions keep none.
        auto* field = qobject_cast<QLabel*>(control) ? nullptr : control;
        if (field && field->focusPolicy() != Qt::NoFocus && !caption->buddy() &&
            !caption->text().contains(QLatin1Char('&')))
            caption->setBuddy(field);
    }
}

// Captions set while a window is hidden are read again when it comes up.
class Renamer final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            NameOnce(static_cast<QWidget*>(watched));
        return false;
    }
};

class ImageButtonInterface final : public QAccessibleWidget
{
public:
    explicit ImageButtonInterface(ImageButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = static_cast<const ImageButton*>(widget())->isDown();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            static_cast<ImageButton*>(widget())->click();
    }
};

class CheckPictureInterface final : public QAccessibleWidget
{
public:
    explicit CheckPictureInterface(CheckPicture* check) : QAccessibleWidget(check, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = static_cast<const CheckPicture*>(widget())->isOn();
        return state;
    }
    QStringList actionNames() const override { return {toggleAction()}; }
    // The owner decides what a click means (and may refuse it), exactly as for a mouse click.
    void doAction(const QString& action) override
    {
        auto* check = static_cast<CheckPicture*>(widget());
        if (action == toggleAction() && check->isEnabled())
            emit check->clicked();
    }
};

QAccessibleInterface* PictureInterfaces(const QString& className, QObject* object)
{
    if (className == QLatin1String("ImageButton"))
        return new ImageButtonInterface(static_cast<ImageButton*>(object));
    if (className == QLatin1String("CheckPicture"))
        return new CheckPictureInterface(static_cast<CheckPicture*>(object));
    return nullptr;
}

} // namespace

namespace Accessibility {

void installInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(PictureInterfaces);
        return true;
    }();
    Q_UNUSED(installed);
}

void nameControls(QWidget* window)
{
    if (!window)
        return;
    NameOnce(window);
    if (!window->property(WatchedProperty).toBool()) {
        window->setProperty(WatchedProperty, true);
        window->installEventFilter(new Renamer(window));
    }
}

QString spokenCaption(const QString& caption)
{
    QString spoken = caption;
    spoken.replace(QLatin1String("&&"), QLatin1String("&"));
    spoken = spoken.trimmed();
    while (spoken.endsWith(QLatin1Char(':')))
        spoken = spoken.chopped(1).trimmed();
    return spoken;
}

} // namespace Accessibility
