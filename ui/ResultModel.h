#pragma once
// The Qt model of a result list (lvFiles, lvDirs): a thin view over the
// ResultList data, which owns every text and check state.
//
// With group view on, the top-level rows are the groups, in the order they
// were added (the header spans the row), and each group's items are its
// children in item order; items whose group id names no group follow the
// groups as top-level rows, so nothing is ever hidden. With group view off
// every item is a top-level row.
//
// Rows are read-only; column 0 of an item row carries its check box
// (Qt::CheckStateRole, written through ResultList::SetChecked).
//
// The model follows the list's change notification: while the list's update
// bracket is open (a batch, or redraw off) the model sends nothing, shows the
// rows it last announced without their texts and refuses edits, so a paint or
// a click delivered by a pump inside the bracket can never read or write an
// item through a stale row. When the bracket closes the list resets the model
// once.

#include "engine/ResultList.h"

#include <QAbstractItemModel>
#include <QList>

class ResultModel : public QAbstractItemModel, public ResultListObserver {
    Q_OBJECT
public:
    // Observes list (not owned) until destroyed; list must outlive the model.
    explicit ResultModel(ResultList& list, QObject* parent = nullptr);
    ~ResultModel() override;

    ResultList& List() const { return FList; }

    // The item a row shows, or -1 for a group row, an invalid index, or while
    // the list's update bracket is open.
    int ItemIndex(const QModelIndex& index) const;
    // The row (column 0) that shows item itemIndex; invalid when none does.
    QModelIndex IndexOfItem(int itemIndex) const;
    // True for a group header row.
    bool IsGroupRow(const QModelIndex& index) const;
    // Whether the rows last announced show groups.
    bool ShowsGroups() const { return FShowsGroups; }

    // The rows as a ResultView lists them, every group open: a group's
    // header line, then one line per item of the group. Lines count from 0.
    int LineCount() const { return FLineCount; }
    // The cell in column column of the row on line; invalid when there is none.
    QModelIndex IndexAtLine(int line, int column = 0) const;
    // The line of index's row; -1 for an invalid index.
    int LineOf(const QModelIndex& index) const;

    // The column captions of the list changed (same number of columns).
    void ColumnsChanged();

    // ---- QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // ---- ResultListObserver
    void ListReset() override;
    void ItemCheckChanged(int index) override;

signals:
    // After every reset, so that views can expand the groups again.
    void Reset();

private:
    // A top-level row: a group (Group >= 0, its index in FGroupItems) or a
    // lone item (Item >= 0).
    struct TopRow {
        int Group = -1;
        int Item = -1;
    };
    void Rebuild();
    bool Stale() const;

    ResultList& FList;
    int FColumns = 0;
    bool FShowsGroups = false;
    QList<TopRow> FTop;
    QList<QList<int>> FGroupItems; // per group of the list: its item indexes
    // Where item i is shown: top-level row, and child row (-1 when top-level).
    QList<int> FItemTop;
    QList<int> FItemChild;
    // The line of each top-level row, ascending, and the number of lines.
    QList<int> FTopLine;
    int FLineCount = 0;
};
