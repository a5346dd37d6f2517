#include "widgets/BotNameInput.h"

#include "core/TextRules.h"
#include "modfiles/ModSettings.h"

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace {

class BotNameValidator final : public QValidator
{
public:
    explicit BotNameValidator(QLineEdit* box) : QValidator(box), m_box(box) {}

    State validate(QString& input, int& pos) const override
    {
        const QString kept = ModSettings::storableName(input);
        if (kept == input)
            return Acceptable;
        // Keep the cursor after the characters that stayed in front of it.
        pos = static_cast<int>(ModSettings::storableName(input.left(pos)).size());
        bool leftOut = false;
        for (QChar c : input) {
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
                break;
            leftOut = leftOut || !TextRules::isWindows1252(c);
        }
        input = kept;
        if (leftOut)
            QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())), BotNameInput::hint(), m_box);
        return Acceptable;
    }

private:
    QLineEdit* m_box;
};

} // namespace

QString BotNameInput::hint()
{
    return QStringLiteral("Bot names can hold only Western European (Windows-1252) letters and signs; the other "
                          "characters were left out.");
}

void BotNameInput::install(QLineEdit* box)
{
    box->setValidator(new BotNameValidator(box));
}
