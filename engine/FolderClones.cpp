// Folder clone detection: FindDirectoryDuplicates and AddDirGroup.
//
// Collection walks every listed folder and takes each directory object once,
// by its identity (device, inode), across all roots; the first path met stands
// for it. Links to directories are followed, a link back to an ancestor ends
// there, and a directory reached again (overlapping roots, a link, a bind
// mount) is never analysed or grouped twice, so no folder forms a group with
// itself. Analysis lists each directory once, deepest first, and finds the
// signatures of its subdirectories by identity, without building their paths.

#include "engine/FolderClones.h"

#include "engine/FolderContents.h"
#include "engine/ScanWindow.h"
#include "engine/ScopeExit.h"
#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

bool IsKnownId(const platform::FileId& id) { return id.Device != 0 || id.Inode != 0; }

// Whether path is dir joined with name, without building the joined text.
bool IsChildPath(const QString& path, const QString& dir, const QString& name)
{
    const bool rootDir = dir.size() == 1 && dir.front() == u'/';
    const qsizetype sep = rootDir ? 0 : 1;
    return path.size() == dir.size() + sep + name.size() && path.startsWith(dir)
        && (rootDir || path[dir.size()] == u'/') && QStringView(path).sliced(dir.size() + sep) == name;
}

bool IsTrashLikeName(const QString& name)
{
    return name == u".Trash" || name.startsWith(u".Trash-");
}

const QString kFilesError = QStringLiteral("!FILES_ACCESS_ERROR!");
const QString kDirsError = QStringLiteral("!DIRS_ACCESS_ERROR!");
const QString kListingFailed = QStringLiteral("!LISTING_FAILED!");
const QString kListingRefused = QStringLiteral("!LISTING_REFUSED!");
const QString kEntryUnreadable = QStringLiteral("!ENTRY_UNREADABLE!");
const QString kChildUnknown = QStringLiteral("!CHILD_UNKNOWN!");

// One folder's entries into the builder; its total is returned.
qint64 AddEntries(const FolderTree& tree, const DirRec& dir, const std::vector<platform::DirEntry>& entries,
    FolderSignatureBuilder& builder)
{
    qint64 total = 0;
    for (const platform::DirEntry& e : entries) {
        using platform::EntryKind;
        if (e.Kind == EntryKind::Unreadable) {
            // Something is there that cannot be looked at: the folder is not
            // known whole, and matches nothing.
            builder.AddMarker(kEntryUnreadable, dir.Id);
            continue;
        }
        if (e.Kind == EntryKind::Directory && IsKnownId(e.Id) && tree.LeftOut.contains(e.Id))
            continue; // a volume's trash is no part of the volume's content
        if (!e.Representable) {
            const char kind = e.Kind == EntryKind::Directory ? 'D'
                : e.Kind == EntryKind::RegularFile           ? 'F'
                : e.Kind == EntryKind::FileLink              ? 'L'
                                                             : 'O';
            builder.AddUnrepresentable(kind, e.NativeName, e.Size, e.Id);
            if (kind == 'F')
                total += e.Size;
            continue;
        }
        switch (e.Kind) {
        case EntryKind::RegularFile:
            builder.AddFile(e.Name, e.Size);
            total += e.Size;
            break;
        case EntryKind::FileLink:
            builder.AddFileLink(e.Name, e.Size);
            break;
        case EntryKind::Other:
        case EntryKind::Unreadable:
            builder.AddOther(e.Name);
            break;
        case EntryKind::Directory: {
            const auto it = IsKnownId(e.Id) ? tree.ById.constFind(e.Id) : tree.ById.constEnd();
            if (it == tree.ById.constEnd()) {
                // Not seen by the collection (made since, too deep, or not
                // entered): its content is unknown.
                builder.AddUnknownDir(e.Name);
                builder.AddMarker(kChildUnknown, dir.Id);
                break;
            }
            const DirRec& child = tree.Dirs[size_t(*it)];
            if (!IsChildPath(child.Path, dir.Path, e.Name)) {
                // Met first under another path: its content counts there, and
                // this entry says only which object it is.
                builder.AddRepeatDir(e.Name, e.Id);
            } else if (child.Analysed) {
                builder.AddDir(e.Name, child.Sig, child.Total);
                total += child.Total;
            } else {
                builder.AddUnknownDir(e.Name);
                builder.AddMarker(kChildUnknown, dir.Id);
            }
            break;
        }
        }
    }
    return total;
}

} // namespace

void CollectFolderTree(
    const QString& root, FolderTree& tree, const std::atomic<bool>& stop, const ExclusionSet& exclude, bool reference)
{
    platform::FileId topId;
    if (!platform::GetFileId(root, topId) || !IsKnownId(topId))
        return;
    // A root already met below an earlier root has been collected with its
    // whole tree under that path; only a reference mark may be left to add.
    if (tree.ById.contains(topId) && !reference)
        return;
    // The folders this walk has met: a reference walk goes through folders
    // the tree held already, and must still meet each once.
    QSet<platform::FileId> met;
    // The index of the folder with id, added under path when it is new.
    const auto meet = [&](QString path, const platform::FileId& id) {
        met.insert(id);
        const auto it = tree.ById.constFind(id);
        int index = 0;
        if (it != tree.ById.constEnd()) {
            index = *it;
        } else {
            index = int(tree.Dirs.size());
            tree.ById.insert(id, index);
            tree.Dirs.push_back(DirRec { std::move(path), id });
        }
        if (reference)
            tree.Dirs[size_t(index)].Reference = true;
        return index;
    };
    std::vector<int> pending { meet(root, topId) };
    const QString top = tree.Dirs[size_t(pending.back())].Path; // the path the tree knows it by
    std::vector<platform::DirEntry> entries;
    while (!pending.empty()) {
        if (stop)
            return;
        const QString dir = tree.Dirs[size_t(pending.back())].Path;
        const quint64 device = tree.Dirs[size_t(pending.back())].Id.Device;
        pending.pop_back();
        if (platform::ListDirectory(dir, entries) != platform::ListStatus::Ok)
            continue;
        // The folder's path below the top, for the exclusions.
        QByteArray relative;
        if (!exclude.Empty() && dir.size() > top.size()) {
            relative = QStringView(dir).sliced(top.size() + (top.endsWith(u'/') ? 0 : 1)).toUtf8();
            relative += '/';
        }
        for (const platform::DirEntry& e : entries) {
            // A name that is not valid UTF-8 has no path to show or remove;
            // its parent's signature still records it.
            if (e.Kind != platform::EntryKind::Directory || !e.Representable || !IsKnownId(e.Id) || met.contains(e.Id)
                || tree.LeftOut.contains(e.Id))
                continue;
            const bool known = tree.ById.contains(e.Id);
            if (known && !reference)
                continue;
            if (!exclude.Empty() && exclude.Excludes(relative, e.Name.toUtf8().constData(), true))
                continue;
            QString child = JoinDirPath(dir, e.Name);
            // Only a new volume can be a pseudo file system, and only a
            // trash-like name a trash folder: the others need no look.
            if (!known && (e.Id.Device != device || IsTrashLikeName(e.Name)) && platform::IsExcludedDirectory(child)) {
                if (e.Id.Device == device)
                    tree.LeftOut.insert(e.Id);
                continue;
            }
            pending.push_back(meet(std::move(child), e.Id));
        }
    }
}

bool AnalyseFolders(
    FolderTree& tree, const std::atomic<bool>& stop, const std::function<void(int done, int total)>& progress)
{
    std::vector<DirRec>& dirs = tree.Dirs;
    std::vector<int> order(dirs.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    // A subdirectory's path is longer than its parent's.
    std::sort(order.begin(), order.end(), [&dirs](int a, int b) {
        const QString& pa = dirs[size_t(a)].Path;
        const QString& pb = dirs[size_t(b)].Path;
        if (pa.size() != pb.size())
            return pa.size() > pb.size();
        return DirPathLess(pa, pb);
    });

    const int total = int(dirs.size());
    FolderSignatureBuilder builder;
    std::vector<platform::DirEntry> entries;
    int position = 0;
    for (int index : order) {
        if (stop)
            return false;
        builder.Clear();
        qint64 dirTotal = 0;
        DirRec& rec = dirs[size_t(index)];
        const platform::ListStatus listed = platform::ListDirectory(rec.Path, entries);
        if (listed == platform::ListStatus::Failed) {
            builder.AddMarker(kFilesError);
            builder.AddMarker(kDirsError);
            // Vanished folders may share a signature: nothing is left to
            // remove. One that is still there holds something unknown, which
            // must not match anything.
            if (platform::DirectoryExists(rec.Path))
                builder.AddMarker(kListingFailed, rec.Id);
        } else if (listed == platform::ListStatus::Refused) {
            // An unreadable folder is not an empty one: removing it as a copy
            // of an empty folder could take what it holds.
            builder.AddMarker(kListingRefused, rec.Id);
        } else {
            dirTotal = AddEntries(tree, rec, entries, builder);
        }
        rec.Sig = builder.Digest();
        rec.Total = dirTotal;
        rec.Analysed = true;
        progress(++position, total);
    }
    return true;
}

std::vector<TDirGroupRec> GroupFolders(
    const FolderTree& tree, int minGroupSize, const std::atomic<bool>& stop, QHash<QString, qint64>& dirSize)
{
    minGroupSize = std::max(2, minGroupSize);
    const std::vector<DirRec>& dirs = tree.Dirs;
    // Equal signatures side by side; the order of paths within a run is the
    // order of the group.
    std::vector<int> bySig(dirs.size());
    for (size_t i = 0; i < bySig.size(); ++i)
        bySig[i] = int(i);
    std::sort(bySig.begin(), bySig.end(), [&dirs](int a, int b) {
        const int c = std::memcmp(dirs[size_t(a)].Sig.data(), dirs[size_t(b)].Sig.data(), dirs[size_t(a)].Sig.size());
        if (c != 0)
            return c < 0;
        return DirPathLess(dirs[size_t(a)].Path, dirs[size_t(b)].Path);
    });

    std::vector<TDirGroupRec> groups;
    QSet<QString> keptSet;
    for (size_t runStart = 0; runStart < bySig.size();) {
        if (stop)
            break;
        size_t runEnd = runStart + 1;
        while (runEnd < bySig.size() && dirs[size_t(bySig[runEnd])].Sig == dirs[size_t(bySig[runStart])].Sig)
            ++runEnd;
        if (runEnd - runStart >= size_t(minGroupSize)) {
            TDirGroupRec group;
            keptSet.clear();
            for (size_t k = runStart; k < runEnd; ++k) {
                const DirRec& x = dirs[size_t(bySig[k])];
                if (HasKeptAncestor(x.Path, keptSet))
                    continue;
                group.Dirs.append(x.Path);
                group.Ids.append(x.Id);
                group.Reference.append(x.Reference);
                keptSet.insert(x.Path);
            }
            if (group.Dirs.size() >= minGroupSize) {
                for (size_t k = runStart; k < runEnd; ++k) {
                    const DirRec& x = dirs[size_t(bySig[k])];
                    if (keptSet.contains(x.Path)) {
                        group.TotalSize += x.Total;
                        dirSize.insert(x.Path, x.Total);
                    }
                }
                groups.push_back(std::move(group));
            }
        }
        runStart = runEnd;
    }
    // Order and cut. Equal totals keep a fixed order, by their first folder.
    std::sort(groups.begin(), groups.end(), [](const TDirGroupRec& a, const TDirGroupRec& b) {
        if (a.TotalSize != b.TotalSize)
            return a.TotalSize > b.TotalSize;
        return DirPathLess(a.Dirs.front(), b.Dirs.front());
    });
    return groups;
}

void ScanWindow::FindDirectoryDuplicates()
{
    // True when the run reached its end (not an early return). The item
    // update of lvDirs spans the whole body and ends before the closing text.
    const bool reachedEnd = [this]() -> bool {
        // Preparation
        lvDirs.BeginUpdate();
        ScopeExit itemUpdate([this] { lvDirs.EndUpdate(); });
        lvDirs.ClearItems();
        ClearListGroups(lvDirs);

        // Collection, each root off the window's thread. A copy of the folder
        // list: the pumps run commands, and the list must not change under
        // the loop.
        FolderTree tree;
        const QStringList roots = FFolders;
        const QStringList references = FReferenceFolders;
        const ExclusionSet exclude(ExcludePatterns());
        for (const QString& root : roots) {
            if (FStopRequested)
                break;
            if (!platform::DirectoryExists(root) || platform::IsExcludedDirectory(root))
                continue;
            SetStatus(TrFill(QStringLiteral("Collecting directories: %s"), { root }));
            SetMarquee(true);
            const QString top = NormalizeDirPath(root);
            const bool reference = references.contains(root);
            RunOffThread([&] { CollectFolderTree(top, tree, FStopRequested, exclude, reference); });
            SetMarquee(false);
            PumpMessages();
        }
        if (FStopRequested || tree.Dirs.empty())
            return false;

        // Analysis, deepest first.
        const int total = int(tree.Dirs.size());
        SetProgressStyleMarquee(false);
        SetProgressMin(0);
        SetProgressMax(total);
        SetProgressPosition(0);
        SetStatus(TrFill(QStringLiteral("Analyzing directories (0/%d)..."), { total }));
        PumpMessages();
        const bool analysed = AnalyseFolders(tree, FStopRequested, [this](int position, int total) {
            SetProgressPosition(position);
            if (position % 10 == 0 || position == total) {
                SetStatus(TrFill(QStringLiteral("Analyzing directories (%d/%d)..."), { position, total }));
                PumpMessages();
            }
        });
        if (!analysed || FStopRequested)
            return false;

        // Grouping
        SetStatus(Translate(QStringLiteral("Grouping duplicate directories...")));
        PumpMessages();
        const int maxGroups = MaxGroupsValue();
        QHash<QString, qint64> dirSize;
        std::vector<TDirGroupRec> groups = GroupFolders(tree, MinGroupSizeValue(), FStopRequested, dirSize);
        // The groups hold their own references to the paths they list; the
        // rest of the analysis goes before the rows take their memory.
        tree = FolderTree();
        if (FolderContentsChecked() && !groups.empty() && !FStopRequested) {
            // Names and sizes agree; the bytes decide. A stop here lists
            // nothing, as one while grouping.
            FolderCompareProgress progress;
            ContentOptions options = FContentOptions;
            if (!ParallelHashChecked())
                options.Threads = 1;
            bool stopped = false;
            RunOffThread(
                [&] {
                    groups = SplitGroupsByContent(std::move(groups), MinGroupSizeValue(), dirSize, options,
                        FStopRequested, progress, stopped);
                },
                [&] { ShowCompareProgress(progress); });
        }
        int n = int(groups.size());
        if (maxGroups > 0 && maxGroups < n)
            n = maxGroups;

        // Listing
        SetProgressPosition(0);
        SetProgressMax(n == 0 ? 1 : n);
        SetStatus(Translate(QStringLiteral("Listing directory groups...")));
        PumpMessages();
        {
            bool wasGroupView = false;
            BeginListUpdate(lvDirs, wasGroupView);
            ScopeExit bracket([this, &wasGroupView] { EndListUpdate(lvDirs, wasGroupView); });
            int groupNumber = 1;
            int listed = 0;
            for (int g = 0; g < n; ++g) {
                if (FStopRequested)
                    break;
                AddDirGroup(groups[g], dirSize, groupNumber);
                ++listed;
                SetProgressPosition(listed);
                if (listed % 5 == 0) {
                    SetStatus(TrFill(QStringLiteral("Listing directory groups (%d/%d)..."), { listed, n }));
                    PumpMessages();
                }
            }
        }

        return true;
    }();
    if (!reachedEnd)
        return;

    // Finish
    SetStatus(Translate(FStopRequested ? QStringLiteral("Directory scan cancelled.")
                                       : QStringLiteral("Duplicate directory groups listed.")));
    SetProgressPosition(0);
}

void ScanWindow::AddDirGroup(const TDirGroupRec& Group, const QHash<QString, qint64>& DirSize, int& GroupNumber)
{
    lvDirs.AddGroup(
        GroupNumber, TrFill(QStringLiteral("Group %d (%s)"), { GroupNumber, FormatSizeMB(Group.TotalSize) }));
    const QString caption = QString::number(GroupNumber);
    for (qsizetype i = 0; i < Group.Dirs.size(); ++i) {
        const QString& dir = Group.Dirs[i];
        ResultItem item;
        item.Caption = caption;
        item.Size = DirSize.value(dir, 0);
        item.SubItems = QStringList { dir, FormatSizeMB(item.Size) };
        item.GroupId = GroupNumber;
        item.Checked = false;
        item.Id = Group.Ids.value(i);
        item.Reference = Group.Reference.value(i);
        lvDirs.AddItem(std::move(item));
    }
    ++GroupNumber;
}
