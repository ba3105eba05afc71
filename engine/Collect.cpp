// File collection: the folder list walked with every mask into FFiles.

#include "engine/ScanWindow.h"

#include "engine/TrimBlanks.h"

#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <QSet>

namespace {

char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

// A mask that a listing refuses: empty, holding a character no name may hold,
// or a set without its closing bracket.
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

QStringList ScanWindow::ParseMasks(const QString& Text)
{
    QString t = Text;
    t.replace(u';', u',');
    t.replace(u' ', u',');
    t.replace(u'|', u',');

    QStringList masks;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (i <= n) {
        QString piece;
        if (i < n && t[i] == u'"') {
            // Quoted: up to the closing quote, "" standing for one quote.
            ++i;
            while (i < n) {
                if (t[i] == u'"') {
                    if (i + 1 < n && t[i + 1] == u'"') {
                        piece += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                piece += t[i++];
            }
        }
        while (i < n && t[i] != u',')
            piece += t[i++];
        ++i; // past the comma (or the end)
        piece = TrimBlanks(piece);
        if (!piece.isEmpty())
            masks.append(piece);
    }
    if (masks.isEmpty())
        masks.append(QStringLiteral("*.*"));
    return masks;
}

bool ScanWindow::MaskMatches(const QString& mask, const QString& name)
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

void ScanWindow::CollectFiles()
{
    SetStatus(Translate(QStringLiteral("Scanning folders...")));
    PumpMessages();

    const QStringList masks = ParseMasks(MasksText());
    const qint64 minBytes = qint64(MinSizeMBValue()) * 1048576;

    // One object, one record: a file reached again (another mask, a nested
    // listed folder, a link, a hard link) keeps the record of the first path.
    QSet<platform::FileId> collected;

    for (int f = 0; f < FFolders.size(); ++f) {
        if (FStopRequested)
            break;
        const QString folder = FFolders[f];
        if (!platform::DirectoryExists(folder))
            continue;
        for (const QString& mask : masks) {
            if (FStopRequested)
                break;
            SetStatus(TrFill(QStringLiteral("Scanning folder list: %s   [%s]"), { folder, mask }));
            SetMarquee(true);
            std::vector<platform::ListedFile> listing;
            try {
                if (MaskIsValid(mask))
                    platform::ListFilesRecursive(
                        folder, [&mask](const QString& name) { return MaskMatches(mask, name); }, listing);
            } catch (...) {
                listing.clear(); // a listing that fails yields nothing, silently
            }
            SetMarquee(false);

            const int count = int(listing.size());
            SetProgressMin(0);
            SetProgressMax(count > 0 ? count : 1);
            for (int i = 0; i < count; ++i) {
                if (FStopRequested)
                    break;
                const platform::ListedFile& entry = listing[size_t(i)];
                if (collected.contains(entry.Id))
                    continue;
                auto info = std::make_unique<TFileInfo>(entry.Path, entry.Size);
                if (info->Size == 0 || (minBytes > 0 && info->Size < minBytes))
                    continue;
                collected.insert(entry.Id);
                TFileInfo* raw = info.get();
                FFiles.push_back(std::move(info));
                FFileMap.insert(raw->FullPath, raw);
                SetProgressPosition(i + 1);
                if (i % 50 == 0 || i == count - 1) {
                    SetStatus(TrFill(QStringLiteral("Scanning: %s (%d/%d)"), { raw->FullPath, i + 1, count }));
                    PumpMessages();
                }
            }
        }
    }

    SetProgressPosition(0);
    const int n = int(FFiles.size());
    if (FStopRequested)
        SetStatus(TrFill(QStringLiteral("Scanning cancelled. %d files collected so far."), { n }));
    else
        SetStatus(TrFill(QStringLiteral("Found %d files (after filters)."), { n }));
}
