// File clone grouping: FFiles grouped by the compare mode's key, ranked by the
// space a group occupies, and listed into lvFiles.

#include "engine/ScanWindow.h"

#include "engine/FileGroups.h"

#include "engine/ScopeExit.h"
#include "i18n/translation.h"

#include <QHash>

#include <cstring>

#include <algorithm>

namespace {

// Groups by sorting 16-byte keys instead of holding a dictionary of every
// key: hashOf gives a 64-bit hash of a file's key (false: the file takes no
// part), same tells whether two files of one hash really share the key.
template <typename HashOf, typename Same>
void GroupSorted(const TFileList& files, size_t minGroupSize, std::vector<TGroupRec>& groups, HashOf hashOf, Same same)
{
    struct Keyed {
        quint64 Hash;
        quint32 Index;
    };
    std::vector<Keyed> keys;
    keys.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        quint64 h = 0;
        if (hashOf(*files[i], h))
            keys.push_back(Keyed { h, quint32(i) });
    }
    std::sort(keys.begin(), keys.end(),
        [](const Keyed& a, const Keyed& b) { return a.Hash != b.Hash ? a.Hash < b.Hash : a.Index < b.Index; });
    std::vector<bool> taken;
    for (size_t s = 0; s < keys.size();) {
        size_t e = s + 1;
        while (e < keys.size() && keys[e].Hash == keys[s].Hash)
            ++e;
        if (e - s >= minGroupSize) {
            // Members of one hash, split by their real keys, in FFiles order.
            taken.assign(e - s, false);
            for (size_t i = s; i < e; ++i) {
                if (taken[i - s])
                    continue;
                TGroupRec g;
                const TFileInfo& first = *files[keys[i].Index];
                for (size_t j = i; j < e; ++j) {
                    if (taken[j - s] || (j != i && !same(first, *files[keys[j].Index])))
                        continue;
                    taken[j - s] = true;
                    g.Files.push_back(files[keys[j].Index]);
                    g.TotalSize += files[keys[j].Index]->Size;
                }
                if (g.Files.size() >= minGroupSize)
                    groups.push_back(std::move(g));
            }
        }
        s = e;
    }
}

quint64 Mix(quint64 h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

} // namespace

std::vector<TGroupRec> GroupFiles(const TFileList& files, CompareMode mode, int minGroupSize)
{
    const size_t minimum = size_t(std::max(2, minGroupSize));
    std::vector<TGroupRec> groups;
    const auto lowerName = [](const TFileInfo& f) { return f.Name().toLower(); };
    switch (mode) {
    case CompareMode::ByName:
        GroupSorted(
            files, minimum, groups,
            [&](const TFileInfo& f, quint64& h) {
                h = qHash(lowerName(f), 1);
                return true;
            },
            [&](const TFileInfo& a, const TFileInfo& b) { return lowerName(a) == lowerName(b); });
        break;
    case CompareMode::BySize:
        GroupSorted(
            files, minimum, groups,
            [](const TFileInfo& f, quint64& h) {
                h = quint64(f.Size);
                return true;
            },
            [](const TFileInfo& a, const TFileInfo& b) { return a.Size == b.Size; });
        break;
    case CompareMode::ByNameAndSize:
        GroupSorted(
            files, minimum, groups,
            [&](const TFileInfo& f, quint64& h) {
                h = qHash(lowerName(f), 1) ^ Mix(quint64(f.Size));
                return true;
            },
            [&](const TFileInfo& a, const TFileInfo& b) { return a.Size == b.Size && lowerName(a) == lowerName(b); });
        break;
    case CompareMode::ByContent:
        // The digest, and the set the bytes made where they were compared:
        // two contents of one SHA-1 stay two groups.
        GroupSorted(
            files, minimum, groups,
            [](const TFileInfo& f, quint64& h) {
                if (!f.HasContentHash())
                    return false;
                std::memcpy(&h, f.Digest().data(), sizeof h);
                h ^= Mix(f.ContentSet);
                return true;
            },
            [](const TFileInfo& a, const TFileInfo& b) { return a.Digest() == b.Digest() && a.ContentSet == b.ContentSet; });
        break;
    }

    // Groups of one total are ordered by their first path as text; each path
    // is made once, not at every comparison (many groups of tiny files share
    // one total).
    struct Rank {
        qint64 TotalSize;
        QString FirstPath;
        size_t Index;
    };
    std::vector<Rank> ranks;
    ranks.reserve(groups.size());
    for (size_t g = 0; g < groups.size(); ++g)
        ranks.push_back(Rank { groups[g].TotalSize, QString(), g });
    std::sort(ranks.begin(), ranks.end(), [](const Rank& a, const Rank& b) { return a.TotalSize > b.TotalSize; });
    for (size_t s = 0; s < ranks.size();) {
        size_t e = s + 1;
        while (e < ranks.size() && ranks[e].TotalSize == ranks[s].TotalSize)
            ++e;
        if (e - s > 1) {
            for (size_t k = s; k < e; ++k)
                ranks[k].FirstPath = groups[ranks[k].Index].Files.front()->FullPath();
            std::sort(ranks.begin() + qsizetype(s), ranks.begin() + qsizetype(e),
                [](const Rank& a, const Rank& b) { return a.FirstPath < b.FirstPath; });
            for (size_t k = s; k < e; ++k)
                ranks[k].FirstPath = QString();
        }
        s = e;
    }
    std::vector<TGroupRec> ordered;
    ordered.reserve(groups.size());
    for (const Rank& r : ranks)
        ordered.push_back(std::move(groups[r.Index]));
    return ordered;
}

void ScanWindow::FindFileDuplicates(bool afterStop)
{
    const int maxGroups = MaxGroupsValue();
    FFileGroupsFound = 0;
    const std::vector<TGroupRec> groups = GroupFiles(FFiles, GetCompareMode(), MinGroupSizeValue());

    const int groupCount = int(groups.size());
    FFileGroupsFound = groupCount;
    const int toList = (maxGroups > 0 && maxGroups < groupCount) ? maxGroups : groupCount;

    int listed = 0;
    {
        lvFiles.BeginUpdate();
        ScopeExit outer([this] { lvFiles.EndUpdate(); });
        lvFiles.ClearItems();
        ClearListGroups(lvFiles);
        SetProgressPosition(0);
        SetProgressMax(toList > 0 ? toList : 1);
        bool wasGroupView = true;
        BeginListUpdate(lvFiles, wasGroupView);
        ScopeExit inner([this, &wasGroupView] { EndListUpdate(lvFiles, wasGroupView); });

        qsizetype rows = 0;
        for (int g = 0; g < toList; ++g)
            rows += qsizetype(groups[size_t(g)].Files.size());
        lvFiles.Reserve(toList, int(rows));
        int groupNumber = 1;
        while (listed < toList && (afterStop || !FStopRequested)) {
            const TGroupRec& g = groups[size_t(listed)];
            AddFileGroup(g.Files, g.TotalSize, groupNumber);
            ++listed;
            if (listed % 50 == 0 && afterStop) {
                FKeepAlivePump = true;
                ScopeExit reset([this] { FKeepAlivePump = false; });
                PumpMessages();
            } else if (listed % 50 == 0) {
                SetProgressPosition(listed);
                SetStatus(TrFill(QStringLiteral("Listing file groups (%d/%d)..."), { listed, toList }));
                PumpMessages();
            }
        }
        SetProgressPosition(listed);
    }

    if (!FStopRequested && !afterStop)
        SetStatus(Translate(QStringLiteral("Duplicate file groups populated.")));
}

void ScanWindow::AddFileGroup(const std::vector<TFileInfo*>& Files, qint64 TotalSize, int& GroupNumber)
{
    lvFiles.AddGroup(GroupNumber, TrFill(QStringLiteral("Group %d (%s)"), { GroupNumber, FormatSizeMB(TotalSize) }));
    const QString caption = QString::number(GroupNumber);
    // Every copy but one is marked: the first in a reference folder when the
    // group has one (those are never marked), else the first.
    const bool hasReference = std::any_of(Files.begin(), Files.end(), [](const TFileInfo* f) { return f->Reference; });
    for (size_t i = 0; i < Files.size(); ++i) {
        TFileInfo* f = Files[i];
        ResultItem item;
        item.Caption = caption; // shared by the group's rows
        item.GroupId = GroupNumber;
        item.Reference = f->Reference;
        item.Checked = !f->Reference && (hasReference || i != 0);
        item.Data = f;
        lvFiles.AddItem(std::move(item));
    }
    ++GroupNumber;
}
