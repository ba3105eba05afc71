// File clone grouping: FFiles grouped by the compare mode's key, ranked by the
// space a group occupies, and listed into lvFiles.

#include "engine/ScanWindow.h"

#include "engine/ScopeExit.h"
#include "i18n/translation.h"

#include <QHash>

#include <algorithm>

namespace {

struct TGroupRec {
    const QList<TFileInfo*>* Files = nullptr;
    qint64 TotalSize = 0;
};

qint64 SizeSum(const QList<TFileInfo*>& files)
{
    qint64 sum = 0;
    for (const TFileInfo* f : files)
        sum += f->Size;
    return sum;
}

template <typename Key, typename KeyOf>
void GroupBy(const std::vector<std::unique_ptr<TFileInfo>>& files, QHash<Key, QList<TFileInfo*>>& dict, KeyOf keyOf)
{
    for (const auto& f : files) {
        Key key;
        if (keyOf(*f, key))
            dict[key].append(f.get());
    }
}

template <typename Key>
void CollectGroups(const QHash<Key, QList<TFileInfo*>>& dict, int minGroupSize, std::vector<TGroupRec>& groups)
{
    for (auto it = dict.cbegin(); it != dict.cend(); ++it) {
        if (it.value().size() < minGroupSize)
            continue;
        groups.push_back(TGroupRec { &it.value(), SizeSum(it.value()) });
    }
}

} // namespace

void ScanWindow::FindFileDuplicates()
{
    const CompareMode mode = GetCompareMode();
    const int maxGroups = MaxGroupsValue();
    const int minGroupSize = std::max(2, MinGroupSizeValue());
    FFileGroupsFound = 0;

    QHash<QString, QList<TFileInfo*>> byText;
    QHash<qint64, QList<TFileInfo*>> bySize;
    std::vector<TGroupRec> groups;
    switch (mode) {
    case CompareMode::ByName:
        GroupBy(FFiles, byText, [](const TFileInfo& f, QString& k) {
            k = f.Name.toLower();
            return true;
        });
        break;
    case CompareMode::BySize:
        GroupBy(FFiles, bySize, [](const TFileInfo& f, qint64& k) {
            k = f.Size;
            return true;
        });
        break;
    case CompareMode::ByNameAndSize:
        GroupBy(FFiles, byText, [](const TFileInfo& f, QString& k) {
            k = f.Name.toLower() + u'|' + QString::number(f.Size);
            return true;
        });
        break;
    case CompareMode::ByContent:
        GroupBy(FFiles, byText, [](const TFileInfo& f, QString& k) {
            k = f.ContentHash;
            return !k.isEmpty();
        });
        break;
    }
    if (mode == CompareMode::BySize)
        CollectGroups(bySize, minGroupSize, groups);
    else
        CollectGroups(byText, minGroupSize, groups);

    // Largest total first. Equal totals are ordered by their first member's
    // path, so that the same tree always lists the same way.
    std::sort(groups.begin(), groups.end(), [](const TGroupRec& a, const TGroupRec& b) {
        if (a.TotalSize != b.TotalSize)
            return a.TotalSize > b.TotalSize;
        return a.Files->first()->FullPath < b.Files->first()->FullPath;
    });

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

        int groupNumber = 1;
        while (listed < toList && !FStopRequested) {
            const TGroupRec& g = groups[size_t(listed)];
            AddFileGroup(*g.Files, g.TotalSize, groupNumber);
            ++listed;
            if (listed % 50 == 0) {
                SetProgressPosition(listed);
                SetStatus(TrFill(QStringLiteral("Listing file groups (%d/%d)..."), { listed, toList }));
                PumpMessages();
            }
        }
        SetProgressPosition(listed);
    }

    if (!FStopRequested)
        SetStatus(Translate(QStringLiteral("Duplicate file groups populated.")));
}

void ScanWindow::AddFileGroup(const QList<TFileInfo*>& Files, qint64 TotalSize, int& GroupNumber)
{
    lvFiles.AddGroup(GroupNumber, TrFill(QStringLiteral("Group %d (%s)"), { GroupNumber, FormatSizeMB(TotalSize) }));
    const QString caption = QString::number(GroupNumber);
    for (qsizetype i = 0; i < Files.size(); ++i) {
        TFileInfo* f = Files[i];
        ResultItem item;
        item.Caption = caption;
        item.SubItems = QStringList { f->Name, FolderPart(f->FullPath), FormatSizeMB(f->Size) };
        item.GroupId = GroupNumber;
        item.Checked = i != 0; // every copy but the first is marked
        item.Data = f;
        lvFiles.AddItem(std::move(item));
    }
    ++GroupNumber;
}
