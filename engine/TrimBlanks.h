#pragma once

#include <QString>

// Drops the characters up to and including the blank (controls and space) at
// both ends. Unlike QString::trimmed, other Unicode spaces are kept: they may
// be part of a name.
inline QString TrimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}
