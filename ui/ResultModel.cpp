#include "ui/ResultModel.h"

#include "engine/TFileInfo.h"
#include "i18n/translation.h"
#include "ui/Application.h"

#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {
// Sizes below this show as 0.00 MB (FormatSizeMB rounds to hundredths).
constexpr qint64 SmallSizeBytes = 5243;

// The mark of a row in a reference folder, in place of its check box: a
// padlock, drawn here so that it looks the same under every icon theme.
QIcon ReferenceIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink(0x3a, 0x5a, 0x8c);
        p.setPen(QPen(ink, 3.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(5, 14, 22, 16), 3, 3);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 21), 2.5, 2.5);
        p.drawRect(QRectF(15, 21, 2, 5));
        return QIcon(pixmap);
    }();
    return icon;
}
} // namespace

ResultModel::ResultModel(ResultList& list, QObject* parent)
    : QAbstractItemModel(parent)
    , FList(list)
{
    FColumns = int(FList.Columns.size());
    Rebuild();
    FList.SetObserver(this);
}

ResultModel::~ResultModel() { FList.SetObserver(nullptr); }

bool ResultModel::Stale() const { return FList.BatchCount() > 0 || !FList.Redraw(); }

void ResultModel::Rebuild()
{
    FShowsGroups = FList.GroupView();
    FTop.clear();
    FGroupItems.clear();
    const int count = FList.ItemCount();
    FItemTop.fill(-1, count);
    FItemChild.fill(-1, count);

    QList<int> lone;
    // Without items no group is shown; clearing a long list group by group
    // must not cost a pass over the remaining groups each time.
    if (FShowsGroups && count > 0) {
        const QList<ResultGroup>& groups = FList.Groups();
        QHash<int, int> groupOfId;
        groupOfId.reserve(groups.size());
        for (int g = int(groups.size()) - 1; g >= 0; --g)
            groupOfId.insert(groups[g].Id, g); // the first group of an id wins
        FGroupItems.resize(groups.size());
        for (int i = 0; i < count; ++i) {
            const int id = FList.Item(i).GroupId;
            const auto it = id >= 0 ? groupOfId.constFind(id) : groupOfId.constEnd();
            if (it == groupOfId.constEnd())
                lone.append(i);
            else
                FGroupItems[*it].append(i);
        }
        // A group whose items have all gone is not shown, as an empty group
        // has nothing to head.
        for (int g = 0; g < FGroupItems.size(); ++g) {
            const QList<int>& items = FGroupItems[g];
            if (items.isEmpty())
                continue;
            const int top = int(FTop.size());
            FTop.append({ g, -1 });
            for (int c = 0; c < items.size(); ++c) {
                FItemTop[items[c]] = top;
                FItemChild[items[c]] = c;
            }
        }
    } else {
        lone.reserve(count);
        for (int i = 0; i < count; ++i)
            lone.append(i);
    }
    FTop.reserve(FTop.size() + lone.size());
    for (int i : lone) {
        FItemTop[i] = int(FTop.size());
        FTop.append({ -1, i });
    }
    FTopLine.resize(FTop.size());
    int line = 0;
    for (qsizetype t = 0; t < FTop.size(); ++t) {
        FTopLine[t] = line;
        line += 1 + (FTop[t].Group >= 0 ? int(FGroupItems[FTop[t].Group].size()) : 0);
    }
    FLineCount = line;
}

void ResultModel::ListReset()
{
    // An empty list that stays empty has no row to announce: emptying a long
    // result group by group must not reset the view once per group.
    if (FTop.isEmpty() && FList.ItemCount() == 0 && FColumns == int(FList.Columns.size())) {
        FShowsGroups = FList.GroupView();
        FGroupItems.clear();
        return;
    }
    beginResetModel();
    FColumns = int(FList.Columns.size());
    Rebuild();
    endResetModel();
    emit Reset();
}

void ResultModel::ItemCheckChanged(int index)
{
    if (Stale())
        return;
    const QModelIndex at = IndexOfItem(index);
    if (at.isValid())
        emit dataChanged(at, at, { Qt::CheckStateRole });
}

void ResultModel::ColumnsChanged()
{
    if (int(FList.Columns.size()) != FColumns) {
        ListReset();
        return;
    }
    if (FColumns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, FColumns - 1);
}

QModelIndex ResultModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= FColumns)
        return {};
    if (!parent.isValid())
        return row < FTop.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.column() != 0)
        return {};
    const TopRow& top = FTop[parent.row()];
    if (top.Group < 0 || row >= FGroupItems[top.Group].size())
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex ResultModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int ResultModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(FTop.size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    const TopRow& top = FTop[parent.row()];
    return top.Group < 0 ? 0 : int(FGroupItems[top.Group].size());
}

int ResultModel::columnCount(const QModelIndex&) const { return FColumns; }

bool ResultModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

bool ResultModel::IsGroupRow(const QModelIndex& index) const
{
    return index.isValid() && index.internalId() == 0 && FTop[index.row()].Group >= 0;
}

int ResultModel::ItemIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || Stale())
        return -1;
    int item;
    if (index.internalId() == 0)
        item = FTop[index.row()].Item;
    else
        item = FGroupItems[FTop[int(index.internalId() - 1)].Group][index.row()];
    return item < FList.ItemCount() ? item : -1;
}

QModelIndex ResultModel::IndexOfItem(int itemIndex) const
{
    if (itemIndex < 0 || itemIndex >= FItemTop.size() || FItemTop[itemIndex] < 0 || FColumns == 0)
        return {};
    const int top = FItemTop[itemIndex];
    const int child = FItemChild[itemIndex];
    if (child < 0)
        return createIndex(top, 0, quintptr(0));
    return createIndex(child, 0, quintptr(top) + 1);
}

QModelIndex ResultModel::IndexAtLine(int line, int column) const
{
    if (line < 0 || line >= FLineCount || column < 0 || column >= FColumns)
        return {};
    // The last top-level row that starts on or before line.
    const int top = int(std::upper_bound(FTopLine.cbegin(), FTopLine.cend(), line) - FTopLine.cbegin()) - 1;
    const int child = line - FTopLine[top] - 1;
    if (child < 0)
        return createIndex(top, column, quintptr(0));
    return createIndex(child, column, quintptr(top) + 1);
}

int ResultModel::LineOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    if (index.internalId() == 0)
        return FTopLine[index.row()];
    return FTopLine[int(index.internalId() - 1)] + 1 + index.row();
}

QVariant ResultModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || Stale())
        return {};
    if (IsGroupRow(index)) {
        if (index.column() != 0)
            return {};
        const int g = FTop[index.row()].Group;
        if (g >= FList.GroupCount())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return FList.Groups()[g].Header;
        case Qt::FontRole: {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        default:
            return {};
        }
    }
    const int i = ItemIndex(index);
    if (i < 0)
        return {};
    const ResultItem& item = FList.Item(i);
    if (item.Reference) {
        // Marked, and without a check box: nothing can check it.
        if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole)
            return Translate(QStringLiteral("In a reference folder: kept, never checked or moved."));
        if (role == Qt::DecorationRole && index.column() == 0)
            return ReferenceIcon();
        if (role == Qt::CheckStateRole)
            return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        if (index.column() == 0)
            return role == Qt::DisplayRole ? QVariant(item.Caption) : QVariant();
        // A size that shows as 0.00 MB tells its bytes on hovering (the
        // size is the last column of a row that carries its file).
        if (role == Qt::ToolTipRole && item.Data && index.column() == FColumns - 1 && item.Data->Size >= 0
            && item.Data->Size < SmallSizeBytes)
            return TrFill(QStringLiteral("%s bytes"), { QLocale().toString(item.Data->Size) });
        // Names, paths and sizes read left to right also in a mirrored
        // window; the list data (and so the CSV) keeps them bare.
        if (const QString text = item.Text(index.column() - 1); !text.isNull())
            return ui::IsolatedPath(text);
        return {};
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return item.Checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool ResultModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != 0)
        return false;
    const int i = ItemIndex(index);
    if (i < 0)
        return false;
    FList.SetChecked(i, value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (IsGroupRow(index))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (Stale())
        return f;
    f |= Qt::ItemIsSelectable;
    if (index.column() == 0) {
        const int i = ItemIndex(index);
        if (i >= 0 && !FList.Item(i).Reference)
            f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= FColumns)
        return {};
    if (role == Qt::DisplayRole)
        return FList.Columns.value(section);
    return {};
}
