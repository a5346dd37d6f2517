#include "widgets/Accessibility.h"

#include "widgets/CheckPicture.h"
#include "widgets/ImageButton.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace {

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

void captionValue(QLabel* caption, const QString& text, std::initializer_list<QWidget*> controls)
{
    caption->setText(text + QLatin1Char(':'));
    for (QWidget* control : controls)
        control->setAccessibleName(text);
}

} // namespace Accessibility
