#pragma once
// Folder trees compared by their bytes.
//
// Folder clone detection groups folders by file names and sizes, so two
// folders of one group may still hold different bytes (disk images, database
// files, documents edited in place). Before a folder goes to the trash it is
// compared with the folders of its group that stay, and a scan can split its
// groups by content, so that every listed group is a true copy.
//
// Two trees are equal when they hold the same entries at the same relative
// paths, names compared exactly (letter case counts): folders, regular files
// of equal size and bytes, symbolic links of the same text (a link to a
// folder is compared as a link, never followed) and other entries (FIFOs,
// sockets, devices) by name. A tree that cannot be read whole (a folder or an
// entry that cannot be read, a name that is not valid UTF-8, a folder left
// out as a trash or system folder) equals no other tree. File contents are
// compared by the content stages (SettleContents): heads and tails, then the
// whole files side by side.

#include "engine/ContentStages.h"
#include "engine/FolderSignature.h"
#include "engine/RemovalPlan.h"
#include "engine/ResultList.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

// Where a comparison stands; written by the comparing thread, read by any.
// The folders are read first (FilesToCompare stays 0 until all are), then the
// files are compared.
struct FolderCompareProgress {
    std::atomic<int> FoldersRead { 0 };
    std::atomic<int> FoldersToRead { 0 };
    std::atomic<int> FilesCompared { 0 };
    std::atomic<int> FilesToCompare { 0 };
};

// ---- before a removal

// One checked folder of a removal and the folders of its group that stay.
struct FolderCopyCheck {
    int Item = -1;   // the checked row
    QString Folder;  // its path
    // The folders of its group that stay (not checked, not inside a folder
    // that goes, still the folder the scan saw), in list order, at most
    // kMaxKeptCompared of them: reference folders count.
    QStringList Kept;
    // Result: the index in Kept of the first folder found equal, -1 when none
    // is; for -1, the path (in Folder, or in the first kept folder when the
    // entry is missing from Folder or could not be read there) of the first
    // entry that differs from the first kept folder.
    int SameAs = -1;
    QString Difference;
};

// Kept folders compared per checked folder: enough for any real group, and
// few enough that the files of one relative path are always compared side by
// side (the content stages hold at least eight files open per set).
constexpr int kMaxKeptCompared = 7;

// The checks for the folder entries of plan (made by PlanRemoval for list, on
// the folder page), in plan order. A folder whose group keeps nothing (the
// person chose to go on at the last-copy warning) gets no check. Reads the
// disk (one look per kept folder).
std::vector<FolderCopyCheck> FolderCopyChecks(const ResultList& list, const RemovalPlan& plan);

// Compares each check's folder with its kept folders, the first kept folder
// first, and sets SameAs and Difference. Reads every tree whole and the files
// whose entries agree. Returns false when a stop was seen (polled before each
// folder, between entries of large folders and between blocks of the file
// comparison); the results are then not to be used. Threads: the calling
// thread reads the trees; the file comparison uses options.Threads workers,
// all ended before it returns.
bool CompareFolderCopies(std::vector<FolderCopyCheck>& checks, const ContentOptions& options,
    const std::atomic<bool>& stop, FolderCompareProgress& progress);

// Takes the folders found equal to no kept folder out of plan's entries and
// into its left-out entries (reason ContentsDiffer, with the difference), in
// list order; one that lies in a folder that still goes is taken out without
// a word, since it goes with that folder, whose copy was found.
void ApplyFolderCopyChecks(RemovalPlan& plan, const std::vector<FolderCopyCheck>& checks);

// FolderCopyChecks, CompareFolderCopies and ApplyFolderCopyChecks in one, for
// callers without a window. False when stopped; plan is then unchanged.
bool VerifyFolderCopies(const ResultList& list, RemovalPlan& plan, const ContentOptions& options,
    const std::atomic<bool>& stop, FolderCompareProgress& progress);

// ---- at a scan

// Splits each group (folders of equal signatures) into the sets of folders
// whose trees are equal, keeps the sets of at least minGroupSize (raised to
// 2) folders in the group's order, and orders them as GroupFolders does
// (largest total first, equal totals by their first folder). dirSize holds
// each folder's total. Each tree is read once (a folder inside another
// folder of some group is read with it) and each file's bytes at most once.
// Returns the groups as they were, split or not, when a stop was seen
// (stopped is then true). Threads: as CompareFolderCopies.
std::vector<TDirGroupRec> SplitGroupsByContent(std::vector<TDirGroupRec> groups, int minGroupSize,
    const QHash<QString, qint64>& dirSize, const ContentOptions& options, const std::atomic<bool>& stop,
    FolderCompareProgress& progress, bool& stopped);
