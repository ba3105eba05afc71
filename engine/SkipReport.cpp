#include "engine/SkipReport.h"

#include "i18n/translation.h"

#include <algorithm>

void SkipReport::Add(SkipKind kind, const QByteArray& nativePath)
{
    const size_t k = size_t(kind);
    ++FCounts[k];
    if (FExamples[k].size() < kExamples)
        FExamples[k].append(nativePath);
}

void SkipReport::Merge(const SkipReport& other)
{
    ListedFolderFailed = ListedFolderFailed || other.ListedFolderFailed;
    for (size_t k = 0; k < FCounts.size(); ++k) {
        FCounts[k] += other.FCounts[k];
        for (const QByteArray& p : other.FExamples[k])
            if (FExamples[k].size() < kExamples)
                FExamples[k].append(p);
    }
}

bool SkipReport::Empty() const
{
    return std::all_of(FCounts.begin(), FCounts.end(), [](int c) { return c == 0; });
}

QStringList SkipReport::Lines(const std::function<QString(const QByteArray&)>& pathText) const
{
    static const char* const what[] = {
        "listed folders do not exist",
        "folders could not be read",
        "entries could not be examined",
        "names are not valid UTF-8 and were left out",
        "folders lie too deep to open (no file descriptor left)",
        "folders were left out (system or trash folders)",
        "file masks are not valid",
        "files could not be read or changed during the scan",
    };
    static_assert(sizeof what / sizeof *what == size_t(SkipKind::Count_));
    QStringList lines;
    for (size_t k = 0; k < FCounts.size(); ++k) {
        if (FCounts[k] == 0)
            continue;
        QStringList paths;
        for (const QByteArray& p : FExamples[k])
            paths << pathText(p);
        QString line = QStringLiteral("%1 %2: %3").arg(FCounts[k]).arg(QLatin1String(what[k]), paths.join(QStringLiteral(", ")));
        if (FCounts[k] > FExamples[k].size())
            line += QStringLiteral(", ...");
        lines << line;
    }
    return lines;
}

QStringList SkipReport::Notes() const
{
    // Each text whole, so that the catalogue holds it as it is shown.
    static const QString texts[] = {
        TR_KEY("%d listed folders do not exist"),
        TR_KEY("%d folders could not be read"),
        TR_KEY("%d entries could not be examined"),
        TR_KEY("%d names are not valid UTF-8 and were left out"),
        TR_KEY("%d folders lie too deep to open"),
        TR_KEY("%d system or trash folders were left out"),
        TR_KEY("%d file masks are not valid"),
        TR_KEY("%d files could not be read or changed during the scan"),
    };
    static_assert(sizeof texts / sizeof *texts == size_t(SkipKind::Count_));
    QStringList notes;
    for (size_t k = 0; k < FCounts.size(); ++k)
        if (FCounts[k] > 0)
            notes << TrFill(texts[k], { FCounts[k] });
    return notes;
}
