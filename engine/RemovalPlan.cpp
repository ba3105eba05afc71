#include "engine/RemovalPlan.h"

#include "platform/core/FileSystem.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>
#include <optional>

#include <sys/resource.h>

namespace {

// Folder paths (no trailing "/", "/" itself allowed), asked whether a path is
// one of them or lies below one: each ancestor of the path is looked up, so a
// long list costs no pass over the set per path.
class FolderSet {
public:
    void Insert(const QString& folder)
    {
        QString f = folder;
        while (f.size() > 1 && f.endsWith(u'/'))
            f.chop(1);
        FFolders.insert(f);
    }
    bool Empty() const { return FFolders.isEmpty(); }
    bool Contains(const QString& folder) const { return FFolders.contains(folder); }
    // The folders of the set that path is or lies below, innermost last.
    QStringList Holding(const QString& path) const
    {
        QStringList found;
        if (FFolders.isEmpty() || !path.startsWith(u'/'))
            return found;
        if (FFolders.contains(QStringLiteral("/")))
            found.append(QStringLiteral("/"));
        for (qsizetype slash = path.indexOf(u'/', 1); slash > 0; slash = path.indexOf(u'/', slash + 1))
            if (FFolders.contains(path.left(slash)))
                found.append(path.left(slash));
        if (path.size() > 1 && FFolders.contains(path))
            found.append(path);
        return found;
    }
    bool Holds(const QString& path) const { return !Holding(path).isEmpty(); }

private:
    QSet<QString> FFolders;
};

QString PathOf(const ResultItem& item, ResultPage page)
{
    if (page == ResultPage::Files)
        return item.Data ? item.Data->FullPath() : QString();
    return item.SubItems.value(0);
}

// The folder rows (by path, rowIds) that path lies strictly below.
QList<platform::KnownFolder> FolderRowsAbove(const QString& path, const QHash<QString, platform::FileId>& rowIds)
{
    QList<platform::KnownFolder> above;
    if (rowIds.isEmpty())
        return above;
    for (qsizetype slash = path.indexOf(u'/', 1); slash > 0; slash = path.indexOf(u'/', slash + 1)) {
        const auto it = rowIds.constFind(path.left(slash));
        if (it != rowIds.constEnd())
            above.append({ platform::NativePath(path.left(slash)), *it });
    }
    return above;
}

// How the object at the item's path compares with what the scan saw. It is
// reached as the trash reaches it (platform::WalkToEntry: no link another
// user could have planted, the recorded folders compared), so what the plan
// lets go is what the move will find.
// The folders walked to so far, open, by path: entries of one folder share
// one walk. Bounded, since each holds a descriptor.
class WalkedFolders {
public:
    struct Walked {
        platform::PinnedFolder Folder;
        platform::WalkFailure Failure = platform::WalkFailure::None;
    };
    const Walked& Of(const QByteArray& entryPath, const QList<platform::KnownFolder>& known)
    {
        const QByteArray parent = entryPath.left(std::max<qsizetype>(entryPath.lastIndexOf('/'), 0));
        auto it = FWalked.constFind(parent);
        if (it == FWalked.constEnd()) {
            if (FWalked.size() >= MaxOpen())
                FWalked.clear();
            auto walked = std::make_shared<Walked>();
            QString reason;
            platform::WalkToEntry(entryPath, known, walked->Folder, walked->Failure, reason);
            it = FWalked.insert(parent, std::move(walked));
        }
        return **it;
    }

private:
    // A quarter of the descriptors the process may open, at most 2048.
    static qsizetype MaxOpen()
    {
        static const qsizetype max = [] {
            struct rlimit limit;
            if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
                return qsizetype(256);
            return std::clamp<qsizetype>(qsizetype(limit.rlim_cur / 4), 16, 2048);
        }();
        return max;
    }
    QHash<QByteArray, std::shared_ptr<Walked>> FWalked;
};

std::optional<LeftOutReason> Difference(const ResultItem& item, ResultPage page,
    const QList<platform::KnownFolder>& scannedFolders, const QHash<QString, platform::FileId>& rowIds,
    WalkedFolders& walked)
{
    using platform::ObjectKind;
    platform::ExpectedObject expected;
    QByteArray native;
    QList<platform::KnownFolder> known = scannedFolders;
    if (page == ResultPage::Files) {
        if (!item.Data)
            return LeftOutReason::Vanished;
        const TFileInfo& r = *item.Data;
        native = r.NativePath();
        expected = { ObjectKind::RegularFile, r.Id, r.Size, r.Modified, r.Changed };
    } else {
        const QString path = item.SubItems.value(0);
        if (path.isEmpty())
            return LeftOutReason::Vanished;
        native = platform::NativePath(path);
        expected = { ObjectKind::Directory, item.Id, -1, 0, 0 };
        known += FolderRowsAbove(path, rowIds);
    }
    const WalkedFolders::Walked& way = walked.Of(native, known);
    if (way.Failure != platform::WalkFailure::None) {
        switch (way.Failure) {
        case platform::WalkFailure::Missing:
            return LeftOutReason::Vanished;
        case platform::WalkFailure::UntrustedLink:
        case platform::WalkFailure::Swapped:
            return LeftOutReason::UnsafeWay;
        default:
            return LeftOutReason::Unreadable;
        }
    }
    const QByteArray name = native.mid(native.lastIndexOf('/') + 1);
    switch (platform::CompareEntry(platform::ReadObjectStateAt(way.Folder.Fd(), name), expected)) {
    case platform::EntryVerdict::Same:
        return std::nullopt;
    case platform::EntryVerdict::Missing:
        return LeftOutReason::Vanished;
    case platform::EntryVerdict::Unreadable:
        return LeftOutReason::Unreadable;
    case platform::EntryVerdict::Changed:
        break;
    }
    return LeftOutReason::Changed;
}

// The disk is looked at once per item, and only when asked.
class ItemStates {
public:
    ItemStates(const ResultList& list, ResultPage page, const QList<platform::KnownFolder>& scannedFolders)
        : FList(list)
        , FPage(page)
        , FScanned(scannedFolders)
    {
        if (page == ResultPage::Dirs)
            for (const ResultItem& item : list.Items())
                if (!item.SubItems.isEmpty() && (item.Id.Device != 0 || item.Id.Inode != 0))
                    FRowIds.insert(item.SubItems[0], item.Id);
    }
    std::optional<LeftOutReason> Of(int i)
    {
        auto it = FStates.constFind(i);
        if (it == FStates.constEnd())
            it = FStates.insert(i, Difference(FList.Item(i), FPage, FScanned, FRowIds, FWalked));
        return *it;
    }
    bool AsScanned(int i) { return !Of(i).has_value(); }
    // Folder rows by path, with the identity the scan met them with.
    const QHash<QString, platform::FileId>& RowIds() const { return FRowIds; }

private:
    const ResultList& FList;
    const ResultPage FPage;
    const QList<platform::KnownFolder>& FScanned;
    QHash<QString, platform::FileId> FRowIds;
    WalkedFolders FWalked;
    QHash<int, std::optional<LeftOutReason>> FStates;
};

} // namespace

RemovalPlan PlanRemoval(const ResultList& list, ResultPage page, const QStringList& referenceFolders,
    const QList<platform::KnownFolder>& scannedFolders)
{
    RemovalPlan plan;
    const bool folders = page == ResultPage::Dirs;
    ItemStates states(list, page, scannedFolders);

    FolderSet references;
    for (const QString& f : referenceFolders)
        references.Insert(f);
    const auto isReference = [&](const ResultItem& item, const QString& path) {
        return item.Reference || (item.Data && item.Data->Reference) || references.Holds(path);
    };

    // The checked folders that may go, so far; a folder that holds a
    // reference is taken out below.
    FolderSet candidates;
    QList<int> checked;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const ResultItem& item = list.Item(i);
        const QString path = PathOf(item, page);
        if (!item.Checked || path.isEmpty()) // a row without a path names nothing to move
            continue;
        checked.append(i);
        if (folders && !path.isEmpty() && !isReference(item, path) && states.AsScanned(i))
            candidates.Insert(path);
    }
    // Folders holding a reference: a reference folder of the list, or a row
    // of a reference entry.
    QSet<QString> holdingReference;
    if (folders && !candidates.Empty()) {
        QStringList referencePaths = referenceFolders;
        for (const ResultItem& item : list.Items())
            if (item.Reference)
                referencePaths.append(item.SubItems.value(0));
        for (QString r : referencePaths) {
            while (r.size() > 1 && r.endsWith(u'/'))
                r.chop(1);
            for (const QString& holder : candidates.Holding(r))
                holdingReference.insert(holder);
        }
    }

    // The walk to a folder below a folder row compares that row's folder.
    const QHash<QString, platform::FileId>& rowIds = states.RowIds();

    FolderSet moving;
    for (const int i : checked) {
        const ResultItem& item = list.Item(i);
        const QString path = PathOf(item, page);
        std::optional<LeftOutReason> why;
        if (isReference(item, path))
            why = LeftOutReason::Reference;
        else if (folders && holdingReference.contains(path))
            why = LeftOutReason::HoldsReference;
        else
            why = states.Of(i);
        if (why) {
            plan.LeftOut.append({ i, path, *why });
            continue;
        }
        plan.Items.append(i);
        platform::TrashEntry entry;
        entry.Path = path;
        entry.Folders = scannedFolders;
        if (folders) {
            entry.Kind = platform::TrashKind::Directory;
            entry.Id = item.Id;
            entry.Folders += FolderRowsAbove(path, rowIds);
            moving.Insert(path);
        } else {
            const TFileInfo& r = *item.Data;
            entry.Kind = platform::TrashKind::RegularFile;
            entry.Size = r.Size;
            entry.Native = r.NativePath();
            entry.Id = r.Id;
            entry.Modified = r.Modified;
            entry.Changed = r.Changed;
        }
        plan.Entries.append(std::move(entry));
    }

    // The groups with something going, and whether each keeps a copy.
    const QSet<int> goingItems(plan.Items.cbegin(), plan.Items.cend());
    const auto going = [&](int i) {
        return goingItems.contains(i) || (folders && moving.Holds(list.Item(i).SubItems.value(0)));
    };
    QSet<int> touched;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i).GroupId >= 0 && going(i))
            touched.insert(list.Item(i).GroupId);
    QHash<int, bool> keeps;
    QList<int> order;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const int group = list.Item(i).GroupId;
        if (group < 0 || !touched.contains(group))
            continue;
        auto it = keeps.find(group);
        if (it == keeps.end()) {
            it = keeps.insert(group, false);
            order.append(group);
        }
        if (!*it && !going(i) && states.AsScanned(i))
            *it = true;
    }
    for (const int group : order)
        if (!keeps.value(group))
            plan.GroupsLosingEveryCopy.append(group);
    return plan;
}

int LeaveOneCopy(
    ResultList& list, ResultPage page, const QList<int>& groups, const QList<platform::KnownFolder>& scannedFolders)
{
    const QSet<int> wanted(groups.cbegin(), groups.cend());
    QSet<int> done;
    ItemStates states(list, page, scannedFolders);
    int unchecked = 0;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const int group = list.Item(i).GroupId;
        if (!wanted.contains(group) || done.contains(group) || !states.AsScanned(i))
            continue;
        done.insert(group);
        if (list.Item(i).Checked) {
            list.SetChecked(i, false);
            ++unchecked;
        }
        if (page != ResultPage::Dirs)
            continue;
        // A folder going would take the kept one along.
        const QString path = list.Item(i).SubItems.value(0);
        for (int j = 0; j < list.ItemCount(); ++j) {
            const ResultItem& other = list.Item(j);
            if (other.Checked && platform::IsSameOrInside(path, other.SubItems.value(0))) {
                list.SetChecked(j, false);
                ++unchecked;
            }
        }
    }
    return unchecked;
}

QList<int> ItemsGone(const ResultList& list, ResultPage page, const RemovalPlan& plan, int moved)
{
    QSet<int> gone;
    FolderSet movedFolders;
    for (int k = 0; k < moved && k < plan.Items.size(); ++k) {
        gone.insert(plan.Items[k]);
        if (page == ResultPage::Dirs)
            movedFolders.Insert(plan.Entries[k].Path);
    }
    QList<int> items;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (gone.contains(i) || (!movedFolders.Empty() && movedFolders.Holds(list.Item(i).SubItems.value(0))))
            items.append(i);
    return items;
}

PlanChanges ComparePlans(const RemovalPlan& confirmed, const RemovalPlan& now)
{
    PlanChanges changes;
    const QSet<int> going(now.Items.cbegin(), now.Items.cend());
    const QSet<int> wasGoing(confirmed.Items.cbegin(), confirmed.Items.cend());
    QHash<int, LeftOutEntry> leftOut;
    for (const LeftOutEntry& e : now.LeftOut)
        leftOut.insert(e.Item, e);
    for (qsizetype k = 0; k < confirmed.Items.size(); ++k) {
        const int item = confirmed.Items[k];
        if (going.contains(item))
            continue;
        changes.NoLongerGoing.append(
            leftOut.value(item, LeftOutEntry { item, confirmed.Entries[k].Path, LeftOutReason::Changed }));
    }
    for (const int item : now.Items)
        if (!wasGoing.contains(item))
            changes.NowGoing.append(item);
    const QSet<int> told(confirmed.GroupsLosingEveryCopy.cbegin(), confirmed.GroupsLosingEveryCopy.cend());
    for (const int group : now.GroupsLosingEveryCopy)
        if (!told.contains(group))
            changes.GroupsNowLosingEveryCopy.append(group);
    return changes;
}
