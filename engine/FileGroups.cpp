// File clone grouping: FFiles grouped by the compare mode's key, ranked by the
// space a group occupies, and listed into lvFiles.

#include "engine/ScanWindow.h"

#include "engine/FileGroups.h"

#include "engine/ScopeExit.h"
#include "i18n/translation.h"

#include <QHash>

#include <algorithm>

namespace {

template <typename Key, typename KeyOf>
void GroupBy(const TFileList& files, int minGroupSize, std::vector<TGroupRec>& groups, KeyOf keyOf)
{
    QHash<Key, std::vector<TFileInfo*>> dict;
    for (TFileInfo* f : files) {
        Key key;
        if (keyOf(*f, key))
            dict[key].push_back(f);
    }
    for (auto it = dict.begin(); it != dict.end(); ++it) {
        if (it.value().size() < size_t(minGroupSize))
            continue;
        TGroupRec g;
        g.Files = std::move(it.value());
        for (const TFileInfo* f : g.Files)
            g.TotalSize += f->Size;
        groups.push_back(std::move(g));
    }
}

} // namespace

std::vector<TGroupRec> GroupFiles(const TFileList& files, CompareMode mode, int minGroupSize)
{
    minGroupSize = std::max(2, minGroupSize);
    std::vector<TGroupRec> groups;
    switch (mode) {
    case CompareMode::ByName:
        GroupBy<QString>(files, minGroupSize, groups, [](const TFileInfo& f, QString& k) {
            k = f.Name().toLower();
            return true;
        });
        break;
    case CompareMode::BySize:
        GroupBy<qint64>(files, minGroupSize, groups, [](const TFileInfo& f, qint64& k) {
            k = f.Size;
            return true;
        });
        break;
    case CompareMode::ByNameAndSize:
        GroupBy<QString>(files, minGroupSize, groups, [](const TFileInfo& f, QString& k) {
            k = f.Name().toLower() + u'|' + QString::number(f.Size);
            return true;
        });
        break;
    case CompareMode::ByContent:
        GroupBy<QByteArray>(files, minGroupSize, groups, [](const TFileInfo& f, QByteArray& k) {
            if (!f.HasContentHash())
                return false;
            // The digest, and the set the bytes made where they were compared:
            // two contents of one SHA-1 stay two groups.
            k = QByteArray(reinterpret_cast<const char*>(f.Digest().data()), qsizetype(f.Digest().size()));
            k.append(reinterpret_cast<const char*>(&f.ContentSet), sizeof f.ContentSet);
            return true;
        });
        break;
    }

    std::sort(groups.begin(), groups.end(), [](const TGroupRec& a, const TGroupRec& b) {
        if (a.TotalSize != b.TotalSize)
            return a.TotalSize > b.TotalSize;
        const TFileInfo& x = *a.Files.front();
        const TFileInfo& y = *b.Files.front();
        return x.FullPath() < y.FullPath();
    });
    return groups;
}

void ScanWindow::FindFileDuplicates()
{
    const int maxGroups = MaxGroupsValue();
    const std::vector<TGroupRec> groups = GroupFiles(FFiles, GetCompareMode(), MinGroupSizeValue());

    const int groupCount = int(groups.size());
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
            AddFileGroup(g.Files, g.TotalSize, groupNumber);
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

void ScanWindow::AddFileGroup(const std::vector<TFileInfo*>& Files, qint64 TotalSize, int& GroupNumber)
{
    lvFiles.AddGroup(GroupNumber, TrFill(QStringLiteral("Group %d (%s)"), { GroupNumber, FormatSizeMB(TotalSize) }));
    const QString caption = QString::number(GroupNumber);
    for (size_t i = 0; i < Files.size(); ++i) {
        TFileInfo* f = Files[i];
        ResultItem item;
        item.Caption = caption;
        QString folder = QString::fromUtf8(f->NativeFolder());
        if (folder.size() > 1)
            folder.chop(1); // the folder part has no trailing "/", except "/" itself
        item.SubItems = QStringList { f->Name(), folder, FormatSizeMB(f->Size) };
        item.GroupId = GroupNumber;
        item.Checked = i != 0; // every copy but the first is marked
        item.Data = f;
        lvFiles.AddItem(std::move(item));
    }
    ++GroupNumber;
}
