#include "update/VersionDocuments.h"

#include "i18n/translation.h"
#include "platform/core/TextLines.h"

#include <limits>

namespace {

QString DecodeText(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

// A whole number as the version document writes it: blanks and a sign before
// the digits, nothing after them.
std::optional<int> ParseWholeInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

std::optional<TVersionOffer> ReadVersionDocuments(const QByteArray& version, const QByteArray& changes,
    int runningVersion)
{
    const QString versionText = DecodeText(version);
    const QList<QStringView> versionLines = platform::SplitLines(versionText);
    if (versionLines.isEmpty())
        return std::nullopt;
    const QStringView firstLine = versionLines.first();
    const qsizetype slash = firstLine.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    const QStringView latestText = firstLine.left(slash);
    const std::optional<int> latest = ParseWholeInteger(latestText);
    const std::optional<int> minimum = ParseWholeInteger(firstLine.mid(slash + 1));
    if (!latest || !minimum)
        return std::nullopt;
    if (*minimum <= runningVersion && *latest <= runningVersion)
        return std::nullopt;
    const QString display = latestText.left(latestText.size() - 1).toString() + u'.' + latestText.right(1).toString();

    QString tail = QStringLiteral("\r\n\r\n") + Translate(QStringLiteral("What's new:")) + QStringLiteral("\r\n");
    const QString changeText = DecodeText(changes);
    qsizetype kept = 0;
    for (const QStringView line : platform::SplitLines(changeText)) {
        // Only lines with nothing at all go; a line of blanks is the server's
        // own spacing.
        if (line.isEmpty())
            continue;
        if (kept++ == MaxChangeLogLines)
            break;
        tail += line.left(MaxChangeLogLineLength);
        tail += QStringLiteral("\r\n");
    }

    TVersionOffer offer;
    if (*minimum > runningVersion) {
        offer.Forced = true;
        offer.Message = TrFill(QStringLiteral("This version of the software is out of date. You must "
                                              "download the current version %s to continue using the software."),
                            { display })
            + tail;
    } else {
        offer.Message = TrFill(QStringLiteral("The new version %s is available"), { display }) + tail;
    }
    return offer;
}
