#include "modfiles/ScoringFile.h"

#include "core/TextRules.h"
#include "modfiles/ScoreKeys.h"

namespace {

constexpr QByteArrayView ScoringMarker = "from gx2 i";

// The value text of a score line: after the '=' that follows the key, or, when there is none, two
// characters after the first blank.
QByteArrayView scoreValueText(QByteArrayView line, qsizetype blank)
{
    qsizetype at = blank;
    while (at < line.size() && line[at] == ' ')
        ++at;
    if (at < line.size() && line[at] == '=')
        return line.sliced(at + 1);
    return blank + 2 <= line.size() ? line.sliced(blank + 2) : QByteArrayView();
}

} // namespace

ScoringFile ScoringFile::load(QByteArrayView bytes)
{
    enum class State
    {
        Head,
        Scores,
        Tail
    };
    State state = State::Head;
    const QStringList& keys = ModFiles::BuildScoreKeys();
    ScoringFile file;
    file.m_lines = TextRules::splitLines(bytes);
    for (qsizetype i = 0; i < file.m_lines.size(); ++i) {
        const QByteArray& line = file.m_lines.at(i);
        if (state == State::Head) {
            if (line.startsWith(ScoringMarker))
                state = State::Scores;
            continue;
        }
        if (state == State::Tail)
            continue;
        if (file.m_scoreValues.size() >= ModFiles::ScoreKeyCount) {
            state = State::Tail;
            continue;
        }
        const qsizetype blank = line.indexOf(' ');
        const QByteArray key = blank < 0 ? line : line.left(blank);
        if (key != keys.at(file.m_scoreValues.size()).toLatin1())
            continue; // not the next expected constant: kept in place, not a score row
        const double value = blank < 0 ? 0.0 : TextRules::Val(scoreValueText(line, blank));
        file.m_scoreValues.append(TextRules::toInt(TextRules::roundHalfEven(value)));
        file.m_scoreLines.append(QString::fromLatin1(line));
        file.m_scoreLineIndex.append(static_cast<int>(i));
    }
    file.m_loadedScoreValues = file.m_scoreValues;
    return file;
}

QByteArray ScoringFile::render() const
{
    const QStringList& keys = ModFiles::BuildScoreKeys();
    QList<QByteArray> lines = m_lines;
    for (qsizetype i = 0; i < m_scoreLineIndex.size(); ++i) {
        if (m_scoreValues.at(i) != m_loadedScoreValues.at(i))
            lines[m_scoreLineIndex.at(i)] = keys.at(i).toLatin1() + " = " + QByteArray::number(m_scoreValues.at(i));
    }
    return TextRules::joinLines(lines);
}

void ScoringFile::commit(const QByteArray& written)
{
    m_lines = TextRules::splitLines(written);
    m_loadedScoreValues = m_scoreValues;
}

bool ScoringFile::setScoreValue(int row, int value)
{
    const QStringList& keys = ModFiles::BuildScoreKeys();
    if (row < 0 || row >= m_scoreLines.size() || row >= keys.size())
        return false;
    m_scoreValues[row] = value;
    m_scoreLines[row] = keys.at(row) + QStringLiteral(" = ") + QString::number(value);
    return true;
}

QByteArray ScoringFile::ScoringHead() const
{
    const qsizetype headEnd = m_scoreLineIndex.isEmpty() ? m_lines.size() : m_scoreLineIndex.first();
    return TextRules::joinLines(m_lines.mid(0, headEnd));
}

QByteArray ScoringFile::ScoringTail() const
{
    return m_scoreLineIndex.isEmpty() ? QByteArray() : TextRules::joinLines(m_lines.mid(m_scoreLineIndex.last() + 1));
}
