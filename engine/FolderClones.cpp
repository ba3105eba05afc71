// Folder clone detection: FindDirectoryDuplicates and AddDirGroup.
//
// Collection walks every listed folder and takes each directory object once,
// by its identity (device, inode), across all roots; the first path met stands
// for it. Links to directories are followed, a link back to an ancestor ends
// there, and a directory reached again (overlapping roots, a link, a bind
// mount) is never analysed or grouped twice, so no folder forms a group with
// itself. Analysis lists each directory once, deepest first, and finds the
// signatures of its subdirectories by identity, without building their paths.

#include "engine/FolderSignature.h"
#include "engine/ScanWindow.h"
#include "engine/ScopeExit.h"
#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct DirRec {
    QString Path; // normalized
    platform::FileId Id;
    qint64 Total = 0;
    FolderDigest Sig {};
    bool Analysed = false;
};

bool IsKnownId(const platform::FileId& id) { return id.Device != 0 || id.Inode != 0; }

// Whether path is dir joined with name, without building the joined text.
bool IsChildPath(const QString& path, const QString& dir, const QString& name)
{
    const bool rootDir = dir.size() == 1 && dir.front() == u'/';
    const qsizetype sep = rootDir ? 0 : 1;
    return path.size() == dir.size() + sep + name.size() && path.startsWith(dir)
        && (rootDir || path[dir.size()] == u'/') && QStringView(path).sliced(dir.size() + sep) == name;
}

} // namespace

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

        std::vector<DirRec> dirs;
        QHash<platform::FileId, int> byId;
        std::vector<platform::DirEntry> entries;

        // Collection
        // A copy: the pumps below run commands, and the list must not change
        // under the loop.
        const QStringList roots = FFolders;
        for (const QString& root : roots) {
            if (FStopRequested)
                break;
            if (!platform::DirectoryExists(root) || platform::IsExcludedDirectory(root))
                continue;
            SetStatus(TrFill(QStringLiteral("Collecting directories: %s"), { root }));
            SetMarquee(true);
            const QString top = NormalizeDirPath(root);
            platform::FileId topId;
            // A root already met below an earlier root has been collected with
            // its whole tree under that path.
            if (platform::GetFileId(top, topId) && IsKnownId(topId) && !byId.contains(topId)) {
                byId.insert(topId, int(dirs.size()));
                dirs.push_back(DirRec { top, topId });
                std::vector<int> pending { int(dirs.size()) - 1 };
                while (!pending.empty()) {
                    const QString dir = dirs[pending.back()].Path;
                    pending.pop_back();
                    if (platform::ListDirectory(dir, entries) != platform::ListStatus::Ok)
                        continue;
                    for (const platform::DirEntry& e : entries) {
                        // A name that is not valid UTF-8 has no path to show or
                        // remove; its parent's signature still records it.
                        if (e.Kind != platform::EntryKind::Directory || !e.Representable || !IsKnownId(e.Id)
                            || byId.contains(e.Id))
                            continue;
                        QString child = JoinDirPath(dir, e.Name);
                        if (platform::IsExcludedDirectory(child))
                            continue;
                        byId.insert(e.Id, int(dirs.size()));
                        dirs.push_back(DirRec { std::move(child), e.Id });
                        pending.push_back(int(dirs.size()) - 1);
                    }
                }
            }
            SetMarquee(false);
            PumpMessages();
        }
        if (FStopRequested || dirs.empty())
            return false;

        // Analysis, deepest first: a subdirectory's path is longer than its
        // parent's, so its signature is known when the parent is analysed.
        std::vector<int> order(dirs.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::sort(order.begin(), order.end(), [&dirs](int a, int b) {
            const QString& pa = dirs[a].Path;
            const QString& pb = dirs[b].Path;
            if (pa.size() != pb.size())
                return pa.size() > pb.size();
            return DirPathLess(pa, pb);
        });

        const int total = int(dirs.size());
        SetProgressStyleMarquee(false);
        SetProgressMin(0);
        SetProgressMax(total);
        SetProgressPosition(0);
        SetStatus(TrFill(QStringLiteral("Analyzing directories (0/%d)..."), { total }));
        PumpMessages();

        FolderSignatureBuilder builder;
        const QString filesError = QStringLiteral("!FILES_ACCESS_ERROR!");
        const QString dirsError = QStringLiteral("!DIRS_ACCESS_ERROR!");
        const QString listingFailed = QStringLiteral("!LISTING_FAILED!");
        const QString listingRefused = QStringLiteral("!LISTING_REFUSED!");
        int position = 0;
        for (int index : order) {
            if (FStopRequested)
                return false;
            builder.Clear();
            qint64 dirTotal = 0;
            const QString& path = dirs[index].Path;
            const platform::ListStatus listed = platform::ListDirectory(path, entries);
            if (listed == platform::ListStatus::Failed) {
                builder.AddMarker(filesError);
                builder.AddMarker(dirsError);
                // Vanished folders may share a signature: nothing is left to
                // remove. One that is still there holds something unknown,
                // which must not match anything.
                if (platform::DirectoryExists(path))
                    builder.AddMarker(listingFailed, dirs[index].Id);
            } else if (listed == platform::ListStatus::Refused) {
                // An unreadable folder is not an empty one: removing it as a
                // copy of an empty folder could take what it holds.
                builder.AddMarker(listingRefused, dirs[index].Id);
            } else {
                for (const platform::DirEntry& e : entries) {
                    using platform::EntryKind;
                    if (!e.Representable) {
                        const char kind = e.Kind == EntryKind::Directory ? 'D'
                            : e.Kind == EntryKind::RegularFile           ? 'F'
                            : e.Kind == EntryKind::FileLink              ? 'L'
                                                                         : 'O';
                        builder.AddUnrepresentable(kind, e.NativeName, e.Size, e.Id);
                        if (kind == 'F')
                            dirTotal += e.Size;
                        continue;
                    }
                    switch (e.Kind) {
                    case EntryKind::RegularFile:
                        builder.AddFile(e.Name, e.Size);
                        dirTotal += e.Size;
                        break;
                    case EntryKind::FileLink:
                        builder.AddFileLink(e.Name, e.Size);
                        break;
                    case EntryKind::Other:
                        builder.AddOther(e.Name);
                        break;
                    case EntryKind::Directory: {
                        const auto it = IsKnownId(e.Id) ? byId.constFind(e.Id) : byId.constEnd();
                        if (it == byId.constEnd()) {
                            builder.AddUnknownDir(e.Name);
                            break;
                        }
                        const DirRec& child = dirs[*it];
                        if (!IsChildPath(child.Path, path, e.Name)) {
                            // Met first under another path: its content counts
                            // there, and this entry says only which object it is.
                            builder.AddRepeatDir(e.Name, e.Id);
                        } else if (child.Analysed) {
                            builder.AddDir(e.Name, child.Sig, child.Total);
                            dirTotal += child.Total;
                        } else {
                            builder.AddUnknownDir(e.Name);
                        }
                        break;
                    }
                    }
                }
            }
            DirRec& rec = dirs[index];
            rec.Sig = builder.Digest();
            rec.Total = dirTotal;
            rec.Analysed = true;

            ++position;
            SetProgressPosition(position);
            if (position % 10 == 0 || position == total) {
                SetStatus(TrFill(QStringLiteral("Analyzing directories (%d/%d)..."), { position, total }));
                PumpMessages();
            }
        }
        if (FStopRequested)
            return false;

        // Grouping
        SetStatus(Translate(QStringLiteral("Grouping duplicate directories...")));
        PumpMessages();
        const int maxGroups = MaxGroupsValue();
        const int minGroupSize = std::max(2, MinGroupSizeValue());

        // Equal signatures side by side; the order of paths within a run is the
        // order of the group.
        std::vector<int> bySig(order);
        std::sort(bySig.begin(), bySig.end(), [&dirs](int a, int b) {
            const int c = std::memcmp(dirs[a].Sig.data(), dirs[b].Sig.data(), dirs[a].Sig.size());
            if (c != 0)
                return c < 0;
            return DirPathLess(dirs[a].Path, dirs[b].Path);
        });

        std::vector<TDirGroupRec> groups;
        QHash<QString, qint64> dirSize;
        QSet<QString> keptSet;
        for (size_t runStart = 0; runStart < bySig.size();) {
            if (FStopRequested)
                break;
            size_t runEnd = runStart + 1;
            while (runEnd < bySig.size() && dirs[bySig[runEnd]].Sig == dirs[bySig[runStart]].Sig)
                ++runEnd;
            const size_t runSize = runEnd - runStart;
            if (runSize >= size_t(minGroupSize)) {
                TDirGroupRec group;
                keptSet.clear();
                for (size_t k = runStart; k < runEnd; ++k) {
                    const DirRec& x = dirs[bySig[k]];
                    if (HasKeptAncestor(x.Path, keptSet))
                        continue;
                    group.Dirs.append(x.Path);
                    keptSet.insert(x.Path);
                }
                if (group.Dirs.size() >= minGroupSize) {
                    for (size_t k = runStart; k < runEnd; ++k) {
                        const DirRec& x = dirs[bySig[k]];
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
        keptSet.clear();
        // The groups hold their own references to the paths they list; the
        // rest of the analysis is not needed for the listing, so its memory
        // goes before the rows take theirs.
        std::vector<DirRec>().swap(dirs);
        std::vector<int>().swap(order);
        std::vector<int>().swap(bySig);
        std::vector<platform::DirEntry>().swap(entries);
        byId = QHash<platform::FileId, int>();

        // Order and cut. Equal totals keep a fixed order, by their first folder.
        std::sort(groups.begin(), groups.end(), [](const TDirGroupRec& a, const TDirGroupRec& b) {
            if (a.TotalSize != b.TotalSize)
                return a.TotalSize > b.TotalSize;
            return DirPathLess(a.Dirs.front(), b.Dirs.front());
        });
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
                AddDirGroup(groups[g].Dirs, dirSize, groups[g].TotalSize, groupNumber);
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

void ScanWindow::AddDirGroup(
    const QStringList& Dirs, const QHash<QString, qint64>& DirSize, qint64 TotalSize, int& GroupNumber)
{
    lvDirs.AddGroup(GroupNumber, TrFill(QStringLiteral("Group %d (%s)"), { GroupNumber, FormatSizeMB(TotalSize) }));
    const QString caption = QString::number(GroupNumber);
    for (const QString& dir : Dirs) {
        ResultItem item;
        item.Caption = caption;
        item.SubItems = QStringList { dir, FormatSizeMB(DirSize.value(dir, 0)) };
        item.GroupId = GroupNumber;
        item.Checked = false;
        lvDirs.AddItem(std::move(item));
    }
    ++GroupNumber;
}
