#pragma once
// What moving the checked entries of a result page to the trash would do,
// worked out against the disk as it is now: which entries may go, which are
// left out and why, and which groups would keep no copy at all.
//
// An entry is "as scanned" when the object at its path, reached as the trash
// reaches it (platform::WalkToEntry), is still the one the scan saw: for a file row a regular file (not a link) of the record's
// identity, size, modification and status change time; for a folder row a
// directory (not a link) of the row's identity. What the scan did not record
// (a zero identity or time) is not compared.
//
// A plan is what a person is asked to confirm; the disk may change while the
// question is open, so the command makes the plan again after the answer and
// compares the two (ComparePlans) before anything moves. The trash itself
// checks each entry once more, on the opened object, right before its move
// (platform::MoveToTrash), with what the plan's entries carry.

#include "engine/ResultList.h"
#include "platform/core/Trash.h"

#include <QList>
#include <QString>
#include <QStringList>

// The kind of rows a list holds: file rows carry their TFileInfo, folder rows
// their path in the first sub-item ("Directory").
enum class ResultPage { Files, Dirs };

enum class LeftOutReason {
    Vanished,        // nothing is at the path any more
    Changed,         // something else, or the same file changed, is there
    Unreadable,      // the path cannot be looked at
    UnsafeWay,       // a folder on its way is a link others could have put there, or not the one scanned
    Reference,       // the entry lies in a reference folder
    HoldsReference,  // a folder that holds a reference folder or entry
    ContentsDiffer,  // a folder equal to none of the folders of its group that stay
};

struct LeftOutEntry {
    int Item = -1;
    QString Path;
    LeftOutReason Reason = LeftOutReason::Vanished;
    QString Detail {}; // ContentsDiffer: the path of the first entry that differs
};

struct RemovalPlan {
    // The checked items that may go, in list order, and their trash entries
    // (with the record's identity and times, and the folders on the way whose
    // identity the scan recorded).
    QList<int> Items;
    QList<platform::TrashEntry> Entries;
    // The checked items that stay, in list order.
    QList<LeftOutEntry> LeftOut;
    // The groups (ids, in list order) in which no entry would be left that
    // is as scanned: every one is going, inside a folder that is going, or
    // gone or changed since the scan.
    QList<int> GroupsLosingEveryCopy;
};

// The plan for list, page. referenceFolders: the listed reference folders
// (a trailing "/" is allowed); an entry inside one is treated as a reference
// entry whatever its row says, and a folder that holds one never goes.
// scannedFolders: the listed folders with the identity the scan met them
// with (ScanWindow::ScannedFolders); each entry's walk compares them.
// Reads the disk (one look per entry of each group with something checked).
RemovalPlan PlanRemoval(const ResultList& list, ResultPage page, const QStringList& referenceFolders = {},
    const QList<platform::KnownFolder>& scannedFolders = {});

// What a plan made again shows that the confirmed one did not.
struct PlanChanges {
    // Items the confirmed plan moved that now stay, with why.
    QList<LeftOutEntry> NoLongerGoing;
    // Items that would now go though the confirmed plan left them out.
    QList<int> NowGoing;
    // Groups that would now keep no copy, beyond those the person was
    // already told of.
    QList<int> GroupsNowLosingEveryCopy;
    bool IsEmpty() const
    {
        return NoLongerGoing.isEmpty() && NowGoing.isEmpty() && GroupsNowLosingEveryCopy.isEmpty();
    }
};
PlanChanges ComparePlans(const RemovalPlan& confirmed, const RemovalPlan& now);

// Unchecks, in each of groups, the first entry in list order that is as
// scanned, and on the folder page every checked folder that holds it, so that
// the group keeps that copy. Returns the items unchecked.
int LeaveOneCopy(ResultList& list, ResultPage page, const QList<int>& groups,
    const QList<platform::KnownFolder>& scannedFolders = {});

// The items a move of the first moved entries of plan took away, in list
// order: those items, and on the folder page every row inside a moved folder.
QList<int> ItemsGone(const ResultList& list, ResultPage page, const RemovalPlan& plan, int moved);
