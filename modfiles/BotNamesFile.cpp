#include "modfiles/BotNamesFile.h"

#include "core/TextRules.h"

namespace {

constexpr QByteArrayView BotNamePrefix = "aiSettings.addBotName ";
constexpr qsizetype BotNameSkip = 22;

} // namespace

BotNamesFile BotNamesFile::load(QByteArrayView bytes)
{
    QStringList names;
    for (const QByteArray& line : TextRules::splitLines(bytes)) {
        if (!line.isEmpty())
            names.append(TextRules::fromWindows1252(line.mid(BotNameSkip)));
    }
    BotNamesFile file;
    file.setBotNames(names);
    return file;
}

QByteArray BotNamesFile::render() const
{
    QByteArray bytes;
    for (const QString& name : m_names) {
        bytes.append(BotNamePrefix);
        bytes.append(TextRules::toWindows1252(storableName(name)));
        bytes.append("\r\n");
    }
    return bytes;
}

void BotNamesFile::setBotNames(const QStringList& names)
{
    m_names.clear();
    for (const QString& name : names)
        m_names.append(storableName(name));
}

void BotNamesFile::addBotName(const QString& name)
{
    m_names.append(storableName(name));
}

bool BotNamesFile::setBotName(int row, const QString& name)
{
    if (row < 0 || row >= m_names.size())
        return false;
    m_names[row] = storableName(name);
    return true;
}

bool BotNamesFile::removeBotName(int row)
{
    if (row < 0 || row >= m_names.size())
        return false;
    m_names.removeAt(row);
    return true;
}

QString BotNamesFile::storableName(const QString& name)
{
    QString line;
    line.reserve(name.size());
    for (QChar c : name) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            break;
        if (TextRules::isWindows1252(c))
            line.append(c);
    }
    return line;
}
