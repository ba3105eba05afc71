#pragma once
// The folder list (lbFolders): one row per listed folder, its check box the
// reference mark.
//
// What a screen reader meets: a list whose items are the folders, each
// checkable with the reference mark as its state; the toggle action flips the
// mark as Space and a click on the box do (through the item's check state, so
// the window's itemChanged handler applies it, and refuses it during a scan
// as it does for Space), and the press action makes the item the current,
// selected one. Qt's own list items offer a toggle action that selects the
// item whatever its check box; this list gets its interfaces from a factory
// instead.

#include <QListWidget>

class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);
};
