// Folder trees compared by their bytes: before a removal, and at a scan with
// "Compare folder contents".
//
// A tree is read whole with the descriptor walk, links not followed, into a
// list of entries sorted by their path below the tree's top. Two trees (or two
// folders inside read trees) are compared entry by entry on that list, first
// by what the entries say (kind, size, link text), and only when that agrees
// by the bytes of their files, which the content stages settle.

#include "engine/FolderContents.h"

#include "engine/FileStore.h"
#include "engine/ScanWindow.h"
#include "engine/ScopeExit.h"
#include "i18n/translation.h"
#include "platform/core/FileSystem.h"
#include "platform/core/TreeWalk.h"

#include <QSet>
#include <QThread>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

struct TreeEntry {
    QByteArray Path; // below the top; a folder's ends in "/"
    char Kind = 'F'; // 'D' folder, 'F' regular file, 'L' link, 'O' other, '!' could not be read
    qint64 Size = 0;
    QByteArray Target {}; // a link's text
    TFileInfo* File = nullptr;
};

struct TreeContent {
    QByteArray Top;     // native, ending in "/"
    bool Read = false;  // the top folder itself was read
    std::vector<TreeEntry> Entries; // sorted by Path
    std::unique_ptr<ListingStore> Store = std::make_unique<ListingStore>();
};

class TreeReader final : public platform::TreeWalkSink {
public:
    TreeReader(TreeContent& tree, const std::atomic<bool>& stop)
        : FTree(tree)
        , FStop(stop)
    {
    }
    bool Abandon() override { return FStop; }
    bool WholeTree() const override { return true; }
    void Folder(const QByteArray& prefix) override
    {
        if (prefix.size() == FTree.Top.size())
            FTree.Read = true;
        else
            FTree.Entries.push_back(TreeEntry { Below(prefix), 'D' });
    }
    const void* EnterFolder(const QByteArray& prefix) override { return FTree.Store->AddFolder(prefix); }
    void File(const void* folder, const platform::WalkedFile& f) override
    {
        const auto* prefix = static_cast<const QByteArray*>(folder);
        TFileInfo* record = FTree.Store->AddFile(prefix, f.Name, f.Size, f.Id, f.Modified, f.Changed);
        FTree.Entries.push_back(TreeEntry { Below(*prefix) + f.Name.toByteArray(), 'F', f.Size, {}, record });
    }
    void Other(const QByteArray& prefix, QByteArrayView name, bool link, QByteArrayView target) override
    {
        FTree.Entries.push_back(TreeEntry { Below(prefix) + name.toByteArray(), link ? 'L' : 'O', 0,
            target.toByteArray() });
    }
    void Skipped(platform::SkipReason, const QByteArray& path) override
    {
        FTree.Entries.push_back(TreeEntry { Below(path), '!' });
    }

private:
    QByteArray Below(const QByteArray& path) const
    {
        return path.startsWith(FTree.Top) ? path.mid(FTree.Top.size()) : path;
    }
    TreeContent& FTree;
    const std::atomic<bool>& FStop;
};

std::unique_ptr<TreeContent> ReadTree(const QString& top, const std::atomic<bool>& stop)
{
    auto tree = std::make_unique<TreeContent>();
    tree->Top = platform::NativePath(top);
    if (!tree->Top.endsWith('/'))
        tree->Top += '/';
    TreeReader reader(*tree, stop);
    try {
        platform::WalkTree(top, reader);
    } catch (const platform::ListingError&) {
        tree->Read = false;
    }
    std::sort(tree->Entries.begin(), tree->Entries.end(),
        [](const TreeEntry& a, const TreeEntry& b) { return a.Path < b.Path; });
    return tree;
}

bool SameContent(const TreeEntry& a, const TreeEntry& b)
{
    if (a.Size == 0)
        return true;
    const TFileInfo* x = a.File;
    const TFileInfo* y = b.File;
    return x && y && x->HasContentHash() && y->HasContentHash() && x->ContentSet != 0
        && x->ContentSet == y->ContentSet;
}

// A folder inside a read tree: its entries are [First, Last), their paths
// starting with the Prefix bytes.
struct Span {
    const TreeContent* Tree = nullptr;
    size_t First = 0;
    size_t Last = 0;
    qsizetype Prefix = 0;
    bool Whole = false;
};

// The folder of tree whose path below the top is prefix ("" for the top,
// else ending in "/").
Span SpanOf(const TreeContent& tree, const QByteArray& prefix)
{
    Span s { &tree, 0, 0, prefix.size(), false };
    const auto& e = tree.Entries;
    auto it = std::lower_bound(
        e.begin(), e.end(), prefix, [](const TreeEntry& x, const QByteArray& p) { return x.Path < p; });
    if (prefix.isEmpty()) {
        // A top that could not be read, or was left out, holds nothing known.
        s.Whole = tree.Read && !(it != e.end() && it->Path.isEmpty() && it->Kind == '!');
    } else {
        s.Whole = it != e.end() && it->Path == prefix && it->Kind == 'D';
        if (it != e.end() && it->Path == prefix)
            ++it;
    }
    s.First = size_t(it - e.begin());
    while (it != e.end() && it->Path.startsWith(prefix))
        ++it;
    s.Last = size_t(it - e.begin());
    return s;
}

// Where two folders first differ: the entry's path below the folder, and
// whether it is missing from (or could not be read in) the first folder.
struct Difference {
    QByteArray Below;
    bool InSecond = false;
};

// The first difference of a and b in path order; none when they are equal.
// withContents: files of equal size are compared by their settled content too.
std::optional<Difference> FirstDifference(const Span& a, const Span& b, bool withContents)
{
    if (!a.Whole)
        return Difference {};
    if (!b.Whole)
        return Difference { {}, true };
    size_t i = a.First;
    size_t j = b.First;
    while (i < a.Last || j < b.Last) {
        if (i == a.Last)
            return Difference { b.Tree->Entries[j].Path.mid(b.Prefix), true };
        if (j == b.Last)
            return Difference { a.Tree->Entries[i].Path.mid(a.Prefix), false };
        const TreeEntry& x = a.Tree->Entries[i];
        const TreeEntry& y = b.Tree->Entries[j];
        const QByteArrayView px = QByteArrayView(x.Path).sliced(a.Prefix);
        const QByteArrayView py = QByteArrayView(y.Path).sliced(b.Prefix);
        if (px < py)
            return Difference { px.toByteArray(), false };
        if (py < px)
            return Difference { py.toByteArray(), true };
        if (x.Kind == '!')
            return Difference { px.toByteArray(), false };
        if (y.Kind == '!')
            return Difference { py.toByteArray(), true };
        if (x.Kind != y.Kind || x.Size != y.Size || x.Target != y.Target
            || (withContents && x.Kind == 'F' && !SameContent(x, y)))
            return Difference { px.toByteArray(), false };
        ++i;
        ++j;
    }
    return std::nullopt;
}

QString PathText(const QString& folder, const QByteArray& below)
{
    if (below.isEmpty())
        return folder;
    QString path = folder;
    if (!path.endsWith(u'/'))
        path += u'/';
    path += QString::fromUtf8(below);
    if (path.endsWith(u'/') && path.size() > 1)
        path.chop(1);
    return path;
}

// Paths (no trailing "/") asked whether a path lies in one of them.
class PathSet {
public:
    void Insert(QString p)
    {
        while (p.size() > 1 && p.endsWith(u'/'))
            p.chop(1);
        FPaths.insert(p);
    }
    bool Empty() const { return FPaths.isEmpty(); }
    // The outermost of the set that path is or lies in; empty when none.
    QString Outermost(const QString& path, bool self) const
    {
        if (FPaths.isEmpty() || !path.startsWith(u'/'))
            return QString();
        if (FPaths.contains(QStringLiteral("/")) && path != u"/")
            return QStringLiteral("/");
        for (qsizetype slash = path.indexOf(u'/', 1); slash > 0; slash = path.indexOf(u'/', slash + 1))
            if (FPaths.contains(path.left(slash)))
                return path.left(slash);
        return self && FPaths.contains(path) ? path : QString();
    }
    bool HoldsInside(const QString& path) const { return !Outermost(path, false).isEmpty(); }

private:
    QSet<QString> FPaths;
};

bool StillAsScanned(const ResultItem& item, const QString& path)
{
    const platform::ObjectState now = platform::ReadObjectState(platform::NativePath(path));
    const bool knownId = item.Id.Device != 0 || item.Id.Inode != 0;
    return now.Kind == platform::ObjectKind::Directory && (!knownId || now.Id == item.Id);
}

ContentOptions WithThreads(const ContentOptions& options)
{
    ContentOptions o = options;
    if (o.Threads < 1)
        o.Threads = std::max(1, QThread::idealThreadCount());
    return o;
}

} // namespace

// ---- before a removal

std::vector<FolderCopyCheck> FolderCopyChecks(const ResultList& list, const RemovalPlan& plan)
{
    std::vector<FolderCopyCheck> checks;
    if (plan.Entries.isEmpty())
        return checks;
    const QSet<int> going(plan.Items.cbegin(), plan.Items.cend());
    PathSet moving;
    for (const platform::TrashEntry& e : plan.Entries)
        moving.Insert(e.Path);
    QHash<int, QList<int>> byGroup;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.Item(i).GroupId >= 0)
            byGroup[list.Item(i).GroupId].append(i);
    // A kept folder is looked at once, however many checks compare with it.
    QHash<int, bool> asScanned;
    for (qsizetype k = 0; k < plan.Items.size() && k < plan.Entries.size(); ++k) {
        const int item = plan.Items[k];
        FolderCopyCheck check;
        check.Item = item;
        check.Folder = plan.Entries[k].Path;
        for (const int j : byGroup.value(list.Item(item).GroupId)) {
            if (j == item || going.contains(j))
                continue;
            const QString path = list.Item(j).SubItems.value(0);
            if (path.isEmpty() || !moving.Outermost(path, true).isEmpty())
                continue;
            auto it = asScanned.constFind(j);
            if (it == asScanned.constEnd())
                it = asScanned.insert(j, StillAsScanned(list.Item(j), path));
            if (!*it)
                continue;
            check.Kept.append(path);
            if (check.Kept.size() == kMaxKeptCompared)
                break;
        }
        if (!check.Kept.isEmpty())
            checks.push_back(std::move(check));
    }
    return checks;
}

bool CompareFolderCopies(std::vector<FolderCopyCheck>& checks, const ContentOptions& options,
    const std::atomic<bool>& stop, FolderCompareProgress& progress)
{
    int toRead = 0;
    for (const FolderCopyCheck& c : checks)
        toRead += 1 + int(c.Kept.size());
    progress.FoldersToRead = toRead;

    // Every tree of a check, the checked folder first. A kept folder that
    // two checks share is read for each, so that no file takes part in two
    // comparisons.
    std::vector<std::vector<std::unique_ptr<TreeContent>>> trees(checks.size());
    for (size_t c = 0; c < checks.size(); ++c) {
        if (stop)
            return false;
        trees[c].push_back(ReadTree(checks[c].Folder, stop));
        ++progress.FoldersRead;
        for (const QString& kept : checks[c].Kept) {
            if (stop)
                return false;
            trees[c].push_back(ReadTree(kept, stop));
            ++progress.FoldersRead;
        }
    }
    if (stop)
        return false;

    // The kept folders whose entries agree, and one set of files for each
    // file of the checked folder: its bytes and those of the same entry in
    // each of them (entries that agree stand at the same places).
    std::vector<std::vector<size_t>> agreeing(checks.size());
    std::vector<TFileInfo*> files;
    std::vector<SizeClass> classes;
    for (size_t c = 0; c < checks.size(); ++c) {
        const Span mine = SpanOf(*trees[c][0], QByteArray());
        for (size_t k = 1; k < trees[c].size(); ++k)
            if (!FirstDifference(mine, SpanOf(*trees[c][k], QByteArray()), false))
                agreeing[c].push_back(k);
        if (agreeing[c].empty())
            continue;
        const std::vector<TreeEntry>& entries = trees[c][0]->Entries;
        for (size_t j = 0; j < entries.size(); ++j) {
            if (entries[j].Kind != 'F' || entries[j].Size < 1)
                continue;
            classes.push_back(SizeClass { files.size(), 1 + agreeing[c].size() });
            files.push_back(entries[j].File);
            for (const size_t k : agreeing[c])
                files.push_back(trees[c][k]->Entries[j].File);
        }
    }
    progress.FilesToCompare = int(files.size());
    if (!classes.empty()) {
        SkipReport skips; // a file that cannot be read keeps no digest: it differs
        SettleContents(files, classes, WithThreads(options), stop, progress.FilesCompared, skips);
    }
    if (stop)
        return false;

    for (size_t c = 0; c < checks.size(); ++c) {
        FolderCopyCheck& check = checks[c];
        const Span mine = SpanOf(*trees[c][0], QByteArray());
        check.SameAs = -1;
        for (const size_t k : agreeing[c]) {
            if (!FirstDifference(mine, SpanOf(*trees[c][k], QByteArray()), true)) {
                check.SameAs = int(k) - 1;
                break;
            }
        }
        if (check.SameAs >= 0)
            continue;
        // Named against the first kept folder: where the entries differ, or
        // where the bytes do when the entries agree.
        const Span first = SpanOf(*trees[c][1], QByteArray());
        std::optional<Difference> d = FirstDifference(mine, first, false);
        if (!d)
            d = FirstDifference(mine, first, true);
        check.Difference = d && d->InSecond ? PathText(check.Kept.front(), d->Below)
                                            : PathText(check.Folder, d ? d->Below : QByteArray());
    }
    return true;
}

void ApplyFolderCopyChecks(RemovalPlan& plan, const std::vector<FolderCopyCheck>& checks)
{
    QHash<int, const FolderCopyCheck*> differing;
    for (const FolderCopyCheck& c : checks)
        if (c.SameAs < 0)
            differing.insert(c.Item, &c);
    if (differing.isEmpty())
        return;
    QList<int> items;
    QList<platform::TrashEntry> entries;
    PathSet remaining;
    QList<const FolderCopyCheck*> out;
    for (qsizetype k = 0; k < plan.Items.size(); ++k) {
        if (const FolderCopyCheck* c = differing.value(plan.Items[k])) {
            out.append(c);
            continue;
        }
        items.append(plan.Items[k]);
        entries.append(plan.Entries[k]);
        remaining.Insert(plan.Entries[k].Path);
    }
    plan.Items = items;
    plan.Entries = entries;
    for (const FolderCopyCheck* c : out)
        if (!remaining.HoldsInside(c->Folder))
            plan.LeftOut.append(LeftOutEntry { c->Item, c->Folder, LeftOutReason::ContentsDiffer, c->Difference });
    std::stable_sort(plan.LeftOut.begin(), plan.LeftOut.end(),
        [](const LeftOutEntry& a, const LeftOutEntry& b) { return a.Item < b.Item; });
}

bool VerifyFolderCopies(const ResultList& list, RemovalPlan& plan, const ContentOptions& options,
    const std::atomic<bool>& stop, FolderCompareProgress& progress)
{
    std::vector<FolderCopyCheck> checks = FolderCopyChecks(list, plan);
    if (checks.empty())
        return true;
    if (!CompareFolderCopies(checks, options, stop, progress))
        return false;
    ApplyFolderCopyChecks(plan, checks);
    return true;
}

// ---- at a scan

std::vector<TDirGroupRec> SplitGroupsByContent(std::vector<TDirGroupRec> groups, int minGroupSize,
    const QHash<QString, qint64>& dirSize, const ContentOptions& options, const std::atomic<bool>& stop,
    FolderCompareProgress& progress, bool& stopped)
{
    stopped = false;
    minGroupSize = std::max(2, minGroupSize);
    // The trees to read: the folders of the groups that lie in no other.
    QSet<QString> members;
    for (const TDirGroupRec& g : groups)
        for (const QString& d : g.Dirs)
            members.insert(d);
    QStringList tops;
    for (const QString& d : members)
        if (!HasKeptAncestor(d, members))
            tops.append(d);
    std::sort(tops.begin(), tops.end(), DirPathLess);
    PathSet topSet;
    QHash<QString, int> topIndex;
    for (int t = 0; t < tops.size(); ++t) {
        topSet.Insert(tops[t]);
        topIndex.insert(tops[t], t);
    }
    progress.FoldersToRead = int(tops.size());
    std::vector<std::unique_ptr<TreeContent>> trees;
    trees.reserve(size_t(tops.size()));
    for (const QString& top : tops) {
        if (stop) {
            stopped = true;
            return groups;
        }
        trees.push_back(ReadTree(top, stop));
        ++progress.FoldersRead;
    }
    if (stop) {
        stopped = true;
        return groups;
    }

    // Every file's bytes once: the files of each size, across all trees.
    std::vector<TreeEntry*> bySize;
    for (auto& t : trees)
        for (TreeEntry& e : t->Entries)
            if (e.Kind == 'F' && e.Size >= 1 && e.File)
                bySize.push_back(&e);
    std::sort(bySize.begin(), bySize.end(), [](const TreeEntry* a, const TreeEntry* b) { return a->Size > b->Size; });
    std::vector<TFileInfo*> files;
    std::vector<SizeClass> classes;
    for (size_t s = 0; s < bySize.size();) {
        size_t e = s + 1;
        while (e < bySize.size() && bySize[e]->Size == bySize[s]->Size)
            ++e;
        if (e - s >= 2) {
            classes.push_back(SizeClass { files.size(), e - s });
            for (size_t k = s; k < e; ++k)
                files.push_back(bySize[k]->File);
        }
        s = e;
    }
    std::vector<TreeEntry*>().swap(bySize);
    progress.FilesToCompare = int(files.size());
    if (!classes.empty()) {
        SkipReport skips;
        SettleContents(files, classes, WithThreads(options), stop, progress.FilesCompared, skips);
    }
    if (stop) {
        stopped = true;
        return groups;
    }

    const auto spanOf = [&](const QString& dir) {
        const QString top = topSet.Outermost(dir, true);
        const TreeContent& tree = *trees[size_t(topIndex.value(top))];
        QByteArray prefix;
        if (dir != top) {
            prefix = platform::NativePath(dir).mid(tree.Top.size());
            prefix += '/';
        }
        return SpanOf(tree, prefix);
    };
    std::vector<TDirGroupRec> split;
    for (const TDirGroupRec& g : groups) {
        if (stop) {
            stopped = true;
            return groups;
        }
        // Each member joins the first set whose first member it equals.
        std::vector<std::vector<qsizetype>> sets;
        std::vector<Span> firsts;
        for (qsizetype m = 0; m < g.Dirs.size(); ++m) {
            const Span s = spanOf(g.Dirs[m]);
            size_t k = 0;
            if (s.Whole)
                while (k < sets.size() && FirstDifference(s, firsts[k], true))
                    ++k;
            else
                k = sets.size(); // equals nothing
            if (k == sets.size()) {
                sets.emplace_back();
                firsts.push_back(s);
            }
            sets[k].push_back(m);
        }
        for (const std::vector<qsizetype>& set : sets) {
            if (qsizetype(set.size()) < minGroupSize)
                continue;
            TDirGroupRec part;
            for (const qsizetype m : set) {
                part.Dirs.append(g.Dirs[m]);
                if (m < g.Ids.size())
                    part.Ids.append(g.Ids[m]);
                if (m < g.Reference.size())
                    part.Reference.append(g.Reference[m]);
                part.TotalSize += dirSize.value(g.Dirs[m], 0);
            }
            split.push_back(std::move(part));
        }
    }
    std::sort(split.begin(), split.end(), [](const TDirGroupRec& a, const TDirGroupRec& b) {
        if (a.TotalSize != b.TotalSize)
            return a.TotalSize > b.TotalSize;
        return DirPathLess(a.Dirs.front(), b.Dirs.front());
    });
    return split;
}

// ---- the window's side

bool ScanWindow::CompareFoldersBeforeRemoval(const ResultList& list, RemovalPlan& plan)
{
    std::vector<FolderCopyCheck> checks = FolderCopyChecks(list, plan);
    if (checks.empty())
        return true;
    if (FRunning)
        return false;
    // A run of its own: Stop works, and the commands wait until it ends.
    const QString before = FStatus;
    FStopRequested = false;
    FRunning = true;
    RunningChanged();
    ScopeExit end([this, &before] {
        SetProgressPosition(0);
        SetStatus(before);
        FRunning = false;
        RunningChanged();
    });
    FolderCompareProgress progress;
    SetProgressStyleMarquee(false);
    SetProgressMin(0);
    ContentOptions options = FContentOptions;
    if (!ParallelHashChecked())
        options.Threads = 1;
    bool compared = false;
    RunOffThread([&] { compared = CompareFolderCopies(checks, options, FStopRequested, progress); },
        [&] { ShowCompareProgress(progress); });
    if (!compared || FStopRequested)
        return false;
    ApplyFolderCopyChecks(plan, checks);
    return true;
}

void ScanWindow::ShowCompareProgress(const FolderCompareProgress& progress)
{
    const int toCompare = progress.FilesToCompare;
    if (toCompare == 0) {
        const int read = progress.FoldersRead;
        const int toRead = progress.FoldersToRead;
        SetProgressMax(std::max(1, toRead));
        SetProgressPosition(read);
        SetStatus(TrFill(QStringLiteral("Reading folders to compare (%d/%d)..."), { read, toRead }));
    } else {
        const int compared = progress.FilesCompared;
        SetProgressMax(toCompare);
        SetProgressPosition(compared);
        SetStatus(TrFill(QStringLiteral("Comparing folder contents (%d/%d)..."), { compared, toCompare }));
    }
}
