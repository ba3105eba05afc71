#pragma once
// Listing one folder tree for collection: one walk for every mask.

#include "engine/Exclusions.h"
#include "engine/FileStore.h"
#include "engine/SkipReport.h"
#include "platform/core/TreeWalk.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

// What the walk of one listed folder found. Every file that matches at least
// one mask is one event, in walk order; the files kept (not empty, not under
// the minimum size) have a record in Store, in the same order.
struct FolderListing {
    static constexpr int kMasks = 31;    // masks one listing tells apart
    static constexpr quint32 kKept = 1u << 31;

    std::unique_ptr<ListingStore> Store = std::make_unique<ListingStore>();
    std::vector<quint32> Events;         // mask bits; kKept when a record follows
    std::vector<int> MaskCounts;         // per mask: the files it matched
    SkipReport Skips;
    bool Abandoned = false;              // stop was seen: the listing is incomplete
};

// Walks root once and reports, for each of masks (at most kMasks), the files
// it matches. Folders and files below root that exclude names are left out
// without a word, and an excluded folder is never opened; walk says whether
// links to folders are entered and whether the walk leaves root's mount.
// Reads: the file system below root. Writes: only the result.
// Stop: stop is polled before every folder, between the pieces in which a
// large folder's names are read and between its entries; once it is seen the
// walk ends and the result is marked Abandoned.
// Threads: runs on the calling thread; any thread may call it. Throws
// platform::ListingError when root is not an existing folder.
std::unique_ptr<FolderListing> ListFolder(
    const QString& root, const QStringList& masks, qint64 minBytes, const std::atomic<bool>& stop,
    const ExclusionSet& exclude = ExclusionSet(), const platform::WalkOptions& walk = platform::WalkOptions());
