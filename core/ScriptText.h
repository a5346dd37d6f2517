#pragma once

#include <QByteArray>
#include <QByteArrayView>

// A settings script held whole as 8-bit text (ServerSettings.CON, AIDefault.AI, a level's Init.CON).
// Keys are found ignoring ASCII letter case from a fixed start position; a key's value is the whole token
// after it, and a save replaces whole tokens only, so the file's own letter case and every other byte stay.
class ScriptText final
{
public:
    ScriptText() = default;
    explicit ScriptText(QByteArray text);

    // Builds the held form from file bytes: every line followed by CR LF.
    static ScriptText fromFileBytes(QByteArrayView bytes);

    const QByteArray& text() const { return m_text; }

    // Index of the first occurrence of key at or after the 1-based position start, or -1.
    qsizetype find(QByteArrayView key, qsizetype start) const;

    // The token that stands after the key found at index keyAt: blanks and tabs skipped, then every
    // character up to the next blank, tab, CR or LF. Empty when nothing follows.
    QByteArray tokenAfter(qsizetype keyAt, qsizetype keyLength) const;

    // The token after the first occurrence of key at or after start; empty when the key is not found.
    QByteArray valueToken(QByteArrayView key, qsizetype start) const;

    // Replaces, for every occurrence of key anywhere in the text followed by exactly the whole token
    // oldToken, that token by newToken. Keys keep their own spelling. Returns the number of replacements.
    int replaceToken(QByteArrayView key, QByteArrayView oldToken, QByteArrayView newToken);

private:
    QByteArray m_text;
    // The text with A to Z lowered, kept beside it so that each search is one scan, not one copy.
    QByteArray m_lowered;
};
