#include "engine/Masks.h"

namespace {

char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

} // namespace

bool MaskIsValid(const QString& mask)
{
    if (mask.isEmpty())
        return false;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == u'/' || c == QChar(0))
            return false;
        if (c == u'[') {
            const qsizetype close = mask.indexOf(u']', i + 1);
            if (close < 0)
                return false;
            i = close;
        }
    }
    return true;
}

namespace {

// Matches one character against the set starting after '[' at mask[i];
// returns the index just past ']'.
qsizetype MatchSet(const QString& mask, qsizetype i, char16_t c, bool& matched)
{
    bool negate = false;
    if (i < mask.size() && mask[i] == u'!') {
        negate = true;
        ++i;
    }
    const char16_t fc = FoldAscii(c);
    bool in = false;
    while (i < mask.size() && mask[i] != u']') {
        const char16_t lo = FoldAscii(mask[i].unicode());
        if (i + 2 < mask.size() && mask[i + 1] == u'-' && mask[i + 2] != u']') {
            const char16_t hi = FoldAscii(mask[i + 2].unicode());
            if (fc >= lo && fc <= hi)
                in = true;
            i += 3;
        } else {
            if (fc == lo)
                in = true;
            ++i;
        }
    }
    matched = in != negate;
    return i + 1;
}

} // namespace

bool MaskMatches(const QString& mask, const QString& name)
{
    if (mask == u"*.*")
        return true;
    // Glob matching with backtracking to the last '*'.
    qsizetype m = 0, s = 0, starM = -1, starS = 0;
    const qsizetype mn = mask.size(), sn = name.size();
    while (s < sn) {
        if (m < mn) {
            const char16_t mc = mask[m].unicode();
            if (mc == u'*') {
                starM = m++;
                starS = s;
                continue;
            }
            if (mc == u'?') {
                ++m;
                ++s;
                continue;
            }
            if (mc == u'[') {
                bool matched = false;
                const qsizetype next = MatchSet(mask, m + 1, name[s].unicode(), matched);
                if (matched) {
                    m = next;
                    ++s;
                    continue;
                }
            } else if (FoldAscii(mc) == FoldAscii(name[s].unicode())) {
                ++m;
                ++s;
                continue;
            }
        }
        if (starM < 0)
            return false;
        m = starM + 1;
        s = ++starS;
    }
    while (m < mn && mask[m] == u'*')
        ++m;
    return m == mn;
}

