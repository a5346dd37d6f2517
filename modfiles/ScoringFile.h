#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// python/game/scoringCommon.py: a script kept line by line, in which the score constants follow the marker
// line in the order of the score key table. A constant that is not the next expected one is not a score
// row but stays in its place, as does every other line; a save rewrites only the lines of changed values.
class ScoringFile final
{
public:
    // Any bytes are a scoring script: without the marker line every line is head and there are no rows.
    static ScoringFile load(QByteArrayView bytes);
    // The lines as read, each followed by CR LF, a changed constant's line written as "KEY = value".
    QByteArray render() const;
    // Takes the lines just written as the file's, and the values in them as the ones it holds.
    void commit(const QByteArray& written);

    // Row i is the constant ScoreKeys[i]: its value, and its line as shown (as read until it is changed).
    const QList<int>& ScoreValues() const { return m_scoreValues; }
    const QStringList& ScoreLines() const { return m_scoreLines; }
    // Answers false for a row the file does not hold.
    bool setScoreValue(int row, int value);
    // The lines before the first score row, and those after the last one, each followed by CR LF.
    QByteArray ScoringHead() const;
    QByteArray ScoringTail() const;

private:
    QList<QByteArray> m_lines;
    // The line of each score row, and the value it holds, so that an unchanged constant keeps its line.
    QList<int> m_scoreLineIndex;
    QList<int> m_loadedScoreValues;
    QList<int> m_scoreValues;
    QStringList m_scoreLines;
};
