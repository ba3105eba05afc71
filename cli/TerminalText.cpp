#include "cli/TerminalText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

void AppendEscape(QString& out, const char* prefix, unsigned value, int digits)
{
    out += QLatin1String(prefix);
    out += QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace

int WellFormedUtf8Length(const unsigned char* p, qsizetype left)
{
    const unsigned char b0 = p[0];
    if (b0 < 0x80)
        return 1;
    int len = 0;
    unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong below
        else if (b0 == 0xED)
            hi = 0x9F; // surrogates above
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F; // beyond U+10FFFF above
    } else {
        return 0;
    }
    if (left < len || p[1] < lo || p[1] > hi)
        return 0;
    for (int i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return len;
}

QString TerminalSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, "\\x", c, 2);
        } else if (c >= 0x80 && c <= 0x9F) {
            AppendEscape(out, "\\u", c, 4);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text[i];
            out += text[++i];
        } else if (QChar::isSurrogate(c)) {
            AppendEscape(out, "\\u", c, 4);
        } else {
            out += text[i];
        }
    }
    return out;
}

QString TerminalSafeNative(QByteArrayView native)
{
    QString decoded;
    decoded.reserve(native.size());
    const auto* p = reinterpret_cast<const unsigned char*>(native.data());
    const qsizetype n = native.size();
    qsizetype i = 0;
    while (i < n) {
        const int len = WellFormedUtf8Length(p + i, n - i);
        if (len == 0) {
            // The escape is made of printable characters, so it passes the
            // second round unchanged.
            AppendEscape(decoded, "\\x", p[i], 2);
            ++i;
            continue;
        }
        decoded += QString::fromUtf8(reinterpret_cast<const char*>(p + i), len);
        i += len;
    }
    return TerminalSafe(decoded);
}

bool StderrTakesEscapes()
{
    if (::isatty(STDERR_FILENO) != 1)
        return false;
    const char* term = std::getenv("TERM");
    return term && *term && std::strcmp(term, "dumb") != 0;
}

void Say(const QString& text)
{
    const QByteArray line = "twinlens-cli: " + TerminalSafe(text).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
