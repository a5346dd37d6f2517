#include "core/ScriptText.h"

#include "core/TextRules.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool endsToken(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

qsizetype tokenStart(const QByteArray& text, qsizetype from)
{
    while (from < text.size() && isBlank(text.at(from)))
        ++from;
    return from;
}

qsizetype tokenEnd(const QByteArray& text, qsizetype from)
{
    while (from < text.size() && !endsToken(text.at(from)))
        ++from;
    return from;
}

} // namespace

ScriptText::ScriptText(QByteArray text) : m_text(std::move(text)), m_lowered(TextRules::asciiLower(m_text)) {}

ScriptText ScriptText::fromFileBytes(QByteArrayView bytes)
{
    return ScriptText(TextRules::joinLines(TextRules::splitLines(bytes)));
}

qsizetype ScriptText::find(QByteArrayView key, qsizetype start) const
{
    if (key.isEmpty())
        return -1;
    const qsizetype from = start < 1 ? 0 : start - 1;
    if (from >= m_text.size())
        return -1;
    return m_lowered.indexOf(TextRules::asciiLower(key), from);
}

QByteArray ScriptText::tokenAfter(qsizetype keyAt, qsizetype keyLength) const
{
    const qsizetype begin = tokenStart(m_text, keyAt + keyLength);
    return m_text.sliced(begin, tokenEnd(m_text, begin) - begin);
}

QByteArray ScriptText::valueToken(QByteArrayView key, qsizetype start) const
{
    const qsizetype at = find(key, start);
    return at < 0 ? QByteArray() : tokenAfter(at, key.size());
}

int ScriptText::replaceToken(QByteArrayView key, QByteArrayView oldToken, QByteArrayView newToken)
{
    if (key.isEmpty() || oldToken.isEmpty())
        return 0;
    // One pass that copies the text and swaps tokens on the way keeps large files linear.
    const QByteArray lowKey = TextRules::asciiLower(key);
    QByteArray result;
    result.reserve(m_text.size());
    qsizetype copied = 0;
    int count = 0;
    for (qsizetype at = m_lowered.indexOf(lowKey); at >= 0; at = m_lowered.indexOf(lowKey, at + 1)) {
        const qsizetype begin = tokenStart(m_text, at + key.size());
        const qsizetype end = tokenEnd(m_text, begin);
        if (begin < copied || QByteArrayView(m_text).sliced(begin, end - begin) != oldToken)
            continue;
        result.append(QByteArrayView(m_text).sliced(copied, begin - copied));
        result.append(newToken);
        copied = end;
        ++count;
    }
    if (count == 0)
        return 0;
    result.append(QByteArrayView(m_text).sliced(copied));
    m_text = result;
    m_lowered = TextRules::asciiLower(m_text);
    return count;
}
