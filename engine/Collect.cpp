// File collection: each listed folder walked once for every mask, off the
// window's thread, into FFiles.

#include "engine/ScanWindow.h"

#include "engine/Listing.h"
#include "engine/Masks.h"
#include "engine/TrimBlanks.h"

#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <exception>

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
    return ::MaskMatches(mask, name);
}

void ScanWindow::CollectFiles()
{
    SetStatus(Translate(QStringLiteral("Scanning folders...")));
    PumpMessages();

    const QStringList masks = ParseMasks(MasksText());
    const qint64 minBytes = qint64(MinSizeMBValue()) * 1048576;
    for (const QString& mask : masks) {
        if (!MaskIsValid(mask)) {
            FSkips.Add(SkipKind::InvalidMask, mask.toUtf8());
            FSkips.ListedFolderFailed = true;
        }
    }
    platform::PrepareForScan();
    const ExclusionSet exclude(ExcludePatterns());
    platform::WalkOptions walk;
    walk.FollowFolderLinks = FollowFolderLinksChecked();
    walk.OneFileSystem = OneFileSystemChecked();

    // One object, one record: a file reached again (another mask, a nested
    // listed folder, a link, a hard link) keeps the record of the first path.
    RecordSet<IdKey> collected;

    for (int f = 0; f < FFolders.size(); ++f) {
        if (FStopRequested)
            break;
        const QString folder = FFolders[f];
        const bool reference = IsReferenceFolder(folder);
        if (!platform::DirectoryExists(folder)) {
            FSkips.Add(SkipKind::FolderMissing, platform::NativePath(folder));
            FSkips.ListedFolderFailed = true;
            continue;
        }
        {
            platform::FileId id;
            QString bare = folder;
            while (bare.size() > 1 && bare.endsWith(u'/'))
                bare.chop(1);
            if (platform::GetFileId(bare, id))
                FScannedFolders.append({ platform::NativePath(bare), id });
        }
        std::unique_ptr<FolderListing> listing;
        // The listing's records belong to FFiles from the moment there is a
        // listing, so that an error escaping the loop below leaves FFiles
        // pointing at nothing freed.
        ListingStore* store = nullptr;
        for (int m = 0; m < masks.size(); ++m) {
            if (FStopRequested)
                break;
            const QString& mask = masks[m];
            SetStatus(TrFill(QStringLiteral("Scanning folder list: %s   [%s]"), { folder, mask }));
            SetMarquee(true);
            // One walk serves a run of masks; the folder is walked again only
            // for masks past what one listing tells apart.
            const int bit = m % FolderListing::kMasks;
            if (bit == 0) {
                listing.reset();
                store = nullptr;
                const QStringList batch = masks.mid(m, FolderListing::kMasks);
                try {
                    RunOffThread([&] { listing = ListFolder(folder, batch, minBytes, FStopRequested, exclude, walk); });
                } catch (const platform::ListingError&) {
                    // A listing that fails yields nothing, but is said.
                    FSkips.Add(SkipKind::FolderUnreadable, platform::NativePath(folder));
                    FSkips.ListedFolderFailed = true;
                }
                if (listing) {
                    store = listing->Store.get();
                    FFiles.Adopt(std::move(listing->Store));
                    const QList<QByteArray>& refused = listing->Skips.Examples(SkipKind::FolderUnreadable);
                    if (!refused.isEmpty() && refused.front() == platform::NativePath(folder))
                        FSkips.ListedFolderFailed = true; // the folder itself, not one below it
                    FSkips.Merge(listing->Skips);
                }
            }
            SetMarquee(false);

            const int count = listing ? listing->MaskCounts[size_t(bit)] : 0;
            SetProgressMin(0);
            SetProgressMax(count > 0 ? count : 1);
            if (!listing)
                continue;
            int i = -1;        // position in this mask's listing
            size_t record = 0; // next record of the listing
            const quint32 maskBit = 1u << bit;
            for (const quint32 event : listing->Events) {
                const bool kept = event & FolderListing::kKept;
                TFileInfo* r = kept ? store->File(record++) : nullptr;
                if (!(event & maskBit))
                    continue;
                ++i;
                if (FStopRequested)
                    break;
                if (!r)
                    continue;
                if (TFileInfo* first = collected.Insert(r)) {
                    // The same object by another path: a reference folder
                    // holds it whichever path stands for it.
                    first->Reference = first->Reference || reference;
                    continue;
                }
                r->Reference = reference;
                FFiles.Append(r);
                FFileMap.insert(r);
                SetProgressPosition(i + 1);
                if (i % 50 == 0 || i == count - 1) {
                    SetStatus(TrFill(QStringLiteral("Scanning: %s (%d/%d)"), { r->FullPath(), i + 1, count }));
                    PumpMessages();
                }
            }
        }
    }

    collected.clear();
    platform::ReleaseFreeMemory();
    SetProgressPosition(0);
    const int n = int(FFiles.size());
    if (FStopRequested)
        SetStatus(TrFill(QStringLiteral("Scanning cancelled. %d files collected so far."), { n }));
    else
        SetStatus(TrFill(QStringLiteral("Found %d files (after filters)."), { n }));
}
