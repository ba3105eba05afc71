#pragma once
// The data of a result list (lvFiles, lvDirs): groups with id and header,
// items with caption, sub-items, group id, check state and an optional
// TFileInfo (not owned). The Qt model in ui/ is a thin view over it.
//
// Change notification: while a batch is open (BeginUpdate, counted) or redraw
// is off, changes are only remembered; the observer gets one ListReset when the
// last batch closes with redraw on (or on Invalidate). Outside a batch every
// structural change resets at once and a check change reports its item.

#include "engine/TFileInfo.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct ResultGroup {
    int Id = -1;
    QString Header;
};

struct ResultItem {
    QString Caption;
    // The texts of the columns after the first. A file row leaves it empty
    // and shows its record's name, folder and size (see Texts), so that a
    // hundred thousand rows cost little more than their records.
    QStringList SubItems;
    int GroupId = -1;  // negative: in no group
    bool Checked = false;
    TFileInfo* Data = nullptr;
    // In a reference folder: shown marked, never checked by a command or a
    // click (SetChecked refuses), never moved.
    bool Reference = false;
    // Folder rows: the folder's identity as the scan met it (zero: unknown).
    platform::FileId Id {};
    // Folder rows: the folder's total in bytes, as its size column shows it
    // (0: unknown). A file row's size is its record's.
    qint64 Size = 0;

    // SubItems, or for a file row without them: name, folder, size.
    QStringList Texts() const;
    // Texts()[i], without making the others; empty past the last.
    QString Text(int i) const;
};

class ResultListObserver {
public:
    virtual ~ResultListObserver() = default;
    virtual void ListReset() = 0;
    virtual void ItemCheckChanged(int index) = 0;
};

class ResultList {
public:
    QStringList Columns; // captions, in column order
    QList<int> ColumnWidths;

    const QList<ResultGroup>& Groups() const { return FGroups; }
    const QList<ResultItem>& Items() const { return FItems; }
    int ItemCount() const { return int(FItems.size()); }
    int GroupCount() const { return int(FGroups.size()); }
    const ResultItem& Item(int i) const { return FItems[i]; }

    // Room for this many more groups and items, so that a long list is not
    // copied as it grows.
    void Reserve(int groups, int items);
    void AddGroup(int id, const QString& header);
    void DeleteFirstGroup();
    int AddItem(ResultItem item);
    void DeleteItem(int index);
    // Deletes every checked item, the others keeping their order; one change
    // however many go (the same as DeleteItem on each, last to first).
    int DeleteCheckedItems();
    // Deletes the items at indices (any order, repeats allowed), the others
    // keeping their order; one change however many go.
    int DeleteItems(const QList<int>& indices);
    void ClearItems();
    // Checks or unchecks an item; a reference item is never checked.
    void SetChecked(int index, bool checked);

    void BeginUpdate();
    void EndUpdate();
    int BatchCount() const { return FBatch; }
    bool GroupView() const { return FGroupView; }
    void SetGroupView(bool on);
    bool Redraw() const { return FRedraw; }
    void SetRedraw(bool on);
    void Invalidate();

    void SetObserver(ResultListObserver* o) { FObserver = o; }

private:
    void Changed();

    QList<ResultGroup> FGroups;
    QList<ResultItem> FItems;
    int FBatch = 0;
    bool FGroupView = true;
    bool FRedraw = true;
    bool FDirty = false;
    ResultListObserver* FObserver = nullptr;
};

// Byte count to the size text of headers and size columns: "0.00" megabytes of
// 1048576 bytes with the system locale's decimal separator, then the
// translation of " MB"; "0" for a negative count.
QString FormatSizeMB(qint64 Bytes);
// Same, with an explicit decimal separator (for tests).
QString FormatSizeMB(qint64 Bytes, QChar decimalPoint);

// Folder part of a path: up to its last "/", which is dropped unless it is the
// root ("/data/a.txt" -> "/data", "/a.txt" -> "/").
QString FolderPart(const QString& path);

// The CSV text of a list: UTF-8 byte-order mark, the column captions bare and
// joined with ",", then one line per item (caption and sub-items, each quoted
// with doubled quotes), every line ended by CR LF. A field that begins with
// = + - @ tab, carriage return or ' gets a leading ' inside its quotes, so
// that a spreadsheet shows it instead of running it as a formula; one leading
// ' taken off a field gives back the exact text. The header, the program's
// own texts, is left bare.
QByteArray CsvText(const ResultList& list);
// The same text, handed to write in pieces of about 64 KiB, so that a long
// list is never held whole; stops at the first piece write refuses (returns
// false), and then returns false itself.
bool WriteCsv(const ResultList& list, const std::function<bool(QByteArrayView)>& write);
