// The main window through the accessibility interface, as a screen reader
// meets it: names for the controls without a caption of their own (in the
// current language), and the rows of both result pages as a table of cells:
// check cells whose state follows the check boxes and whose toggle action
// flips them, a press that selects the row, group headers with neither.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestDir.h"

#include "ui/ResultModel.h"
#include "ui/uMainForm.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

class TestAccessible : public QObject {
    Q_OBJECT

private:
    static QString NameOf(QObject* o) { return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name); }

    // The line the view lists index's row on (header rows count), found by
    // walking the view's own rows from the top; -1 when it lists none.
    static int LineOf(QTreeView* view, const QModelIndex& index)
    {
        int line = 0;
        for (QModelIndex i = view->model()->index(0, 0); i.isValid(); i = view->indexBelow(i), ++line) {
            if (i == index.siblingAtColumn(0))
                return line;
        }
        return -1;
    }

    static QAccessibleTableInterface* TableOf(QTreeView* view)
    {
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
        return tree ? tree->tableInterface() : nullptr;
    }

    // The cell of the check box of item itemIndex in view.
    static QAccessibleInterface* CheckCell(QTreeView* view, int itemIndex)
    {
        auto* model = static_cast<ResultModel*>(view->model());
        const int line = LineOf(view, model->IndexOfItem(itemIndex));
        QAccessibleTableInterface* table = TableOf(view);
        return table && line >= 0 ? table->cellAt(line, 0) : nullptr;
    }

    // Two groups of two on each page: a/x.bin = b/x.bin, c/y.bin = d/y.bin,
    // so the folders a = b and c = d.
    static void ScanTwoGroups(TMainForm& w, TestDir& dir)
    {
        dir.createFile("a/x.bin", "twin");
        dir.createFile("b/x.bin", "twin");
        dir.createFile("c/y.bin", "other twin");
        dir.createFile("d/y.bin", "other twin");
        w.seMinSizeMB->setValue(0);
        w.chkDirDuplicates->setChecked(true);
        w.AddFolder(dir.path());
        w.btnScan->click();
    }

    static void AddPages()
    {
        QTest::addColumn<bool>("folders");
        QTest::newRow("file clones") << false;
        QTest::newRow("folder clones") << true;
    }

private slots:
    void initTestCase()
    {
        StartWindowTests();
    }

    void namesOfControlsWithoutCaption()
    {
        RecordingDesktop desktop;
        TMainForm w;
        w.show();
        QCOMPARE(NameOf(w.lbFolders), QStringLiteral("Folders to scan"));
        QCOMPARE(NameOf(w.lvFilesView), QStringLiteral("File Clones"));
        QCOMPARE(NameOf(w.lvDirsView), QStringLiteral("Folder Clones"));
        QCOMPARE(NameOf(w.ProgressBar), QStringLiteral("Scan progress"));
        QCOMPARE(NameOf(w.edMasks), QStringLiteral("File masks (CSV)"));
        QCOMPARE(NameOf(w.seMinSizeMB), QStringLiteral("Min size (MB)"));
        QCOMPARE(NameOf(w.btnScan), QStringLiteral("Scan"));
    }

    void rowsAreCheckableCells()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("a/x.bin", "twin");
        dir.createFile("b/x.bin", "twin");
        TMainForm w;
        w.resize(1000, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.seMinSizeMB->setValue(0);
        w.chkDirDuplicates->setChecked(true);
        w.AddFolder(dir.path());
        w.btnScan->click();
        QCOMPARE(w.lvFiles.ItemCount(), 2);

        for (int item = 0; item < 2; ++item) {
            QAccessibleInterface* cell = CheckCell(w.lvFilesView, item);
            QVERIFY(cell);
            QVERIFY2(cell->state().checkable, qPrintable(QString::number(item)));
            QCOMPARE(bool(cell->state().checked), w.lvFiles.Item(item).Checked);
            // The state follows the check box.
            w.lvFilesView->setCurrentIndex(static_cast<ResultModel*>(w.lvFilesView->model())->IndexOfItem(item));
            QTest::keyClick(w.lvFilesView, Qt::Key_Space);
            QCOMPARE(bool(CheckCell(w.lvFilesView, item)->state().checked), w.lvFiles.Item(item).Checked);
        }

        // The folder page's rows too (all unchecked after a scan).
        w.FolderClones1->trigger();
        QVERIFY(w.lvDirs.ItemCount() >= 2);
        QAccessibleInterface* dirCell = CheckCell(w.lvDirsView, 0);
        QVERIFY(dirCell && dirCell->state().checkable && !dirCell->state().checked);
    }

    // Every cell of the table is the cell of the row the view lists there,
    // header rows included, and finds its way back to its place.
    void cellsAreTheViewsRows_data() { AddPages(); }

    void cellsAreTheViewsRows()
    {
        QFETCH(bool, folders);
        RecordingDesktop desktop;
        TestDir dir;
        TMainForm w;
        w.show();
        ScanTwoGroups(w, dir);
        QTreeView* view = folders ? w.lvDirsView : w.lvFilesView;
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
        QAccessibleTableInterface* table = TableOf(view);
        QVERIFY(table);
        const int columns = view->model()->columnCount();
        QCOMPARE(table->columnCount(), columns);
        for (int c = 0; c < columns; ++c) {
            QAccessibleInterface* header = tree->child(c);
            QVERIFY(header && header->role() == QAccessible::ColumnHeader);
            QCOMPARE(header->text(QAccessible::Name), view->model()->headerData(c, Qt::Horizontal).toString());
        }
        int line = 0;
        for (QModelIndex row = view->model()->index(0, 0); row.isValid(); row = view->indexBelow(row), ++line) {
            for (int c = 0; c < columns; ++c) {
                const QString where = QStringLiteral("line %1, column %2").arg(line).arg(c);
                QAccessibleInterface* cell = table->cellAt(line, c);
                QVERIFY2(cell, qPrintable(where));
                QCOMPARE(cell->text(QAccessible::Name), row.siblingAtColumn(c).data().toString());
                QCOMPARE(cell->tableCellInterface()->rowIndex(), line);
                QCOMPARE(cell->tableCellInterface()->columnIndex(), c);
                QCOMPARE(tree->child(tree->indexOfChild(cell)), cell);
                QCOMPARE(cell->tableCellInterface()->columnHeaderCells(), QList { tree->child(c) });
            }
        }
        QCOMPARE(line, 6); // two headers, four items
        QCOMPARE(table->rowCount(), line);
        QCOMPARE(tree->childCount(), (line + 1) * columns);
    }

    // The toggle action of a row's check cell flips the check box, as Space
    // does, and leaves the selection alone; a group header has no check box
    // to flip. After a new scan the cells are those of the new rows.
    void toggleActionFlipsTheCheck_data() { AddPages(); }

    void toggleActionFlipsTheCheck()
    {
        QFETCH(bool, folders);
        RecordingDesktop desktop;
        TestDir dir;
        TMainForm w;
        w.show();
        ScanTwoGroups(w, dir);
        if (folders)
            w.FolderClones1->trigger();
        QTreeView* view = folders ? w.lvDirsView : w.lvFilesView;
        ResultList& list = folders ? w.lvDirs : w.lvFiles;
        auto* model = static_cast<ResultModel*>(view->model());
        QCOMPARE(list.ItemCount(), 4);
        const auto checks = [&] {
            QList<bool> all;
            for (int i = 0; i < list.ItemCount(); ++i)
                all << list.Item(i).Checked;
            return all;
        };
        const QString toggle = QAccessibleActionInterface::toggleAction();

        const QModelIndexList selected = view->selectionModel()->selectedRows();
        for (int item = 0; item < list.ItemCount(); ++item) {
            const bool before = list.Item(item).Checked;
            for (bool expected : { !before, before }) {
                QAccessibleInterface* cell = CheckCell(view, item);
                QVERIFY(cell && cell->actionInterface());
                QVERIFY(cell->actionInterface()->actionNames().contains(toggle));
                cell->actionInterface()->doAction(toggle);
                QCOMPARE(list.Item(item).Checked, expected);
                QCOMPARE(bool(cell->state().checked), expected);
                QCOMPARE(bool(CheckCell(view, item)->state().checked), expected);
            }
            QCOMPARE(view->selectionModel()->selectedRows(), selected);
        }

        const QList<bool> before = checks();
        int headers = 0;
        for (int line = 0; line < TableOf(view)->rowCount(); ++line) {
            QAccessibleInterface* cell = TableOf(view)->cellAt(line, 0);
            if (!model->IsGroupRow(model->IndexAtLine(line)))
                continue;
            ++headers;
            QVERIFY(!cell->state().checkable);
            QVERIFY(!cell->actionInterface()->actionNames().contains(toggle));
            cell->actionInterface()->doAction(toggle);
            QVERIFY(!cell->state().checkable);
            QCOMPARE(checks(), before);
        }
        QCOMPARE(headers, 2);

        w.btnScan->click();
        QCOMPARE(list.ItemCount(), 4);
        const bool fresh = list.Item(3).Checked;
        CheckCell(view, 3)->actionInterface()->doAction(toggle);
        QCOMPARE(list.Item(3).Checked, !fresh);
        QCOMPARE(bool(CheckCell(view, 3)->state().checked), !fresh);
    }

    // A folder's reference box, through the folder list's accessible items:
    // the toggle action marks and unmarks the folder as Space does, and the
    // item's state reads the box back.
    void folderToggleMarksReference()
    {
        RecordingDesktop desktop;
        TestDir dir;
        TMainForm w;
        w.show();
        QVERIFY(w.AddFolder(dir.createDir("a")));
        QVERIFY(w.AddFolder(dir.createDir("b")));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.lbFolders);
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->childCount(), 2);
        const QString toggle = QAccessibleActionInterface::toggleAction();

        for (const bool reference : { true, false }) {
            QAccessibleInterface* item = list->child(1);
            QVERIFY(item && item->actionInterface());
            QCOMPARE(item->role(), QAccessible::ListItem);
            QCOMPARE(item->text(QAccessible::Name), w.lbFolders->item(1)->text());
            QVERIFY(item->state().checkable);
            QVERIFY(item->actionInterface()->actionNames().contains(toggle));
            item->actionInterface()->doAction(toggle);
            QCOMPARE(w.lbFolders->item(1)->checkState(), reference ? Qt::Checked : Qt::Unchecked);
            QCOMPARE(w.IsReferenceFolder(w.Folders()[1]), reference);
            QCOMPARE(bool(list->child(1)->state().checked), reference);
            QVERIFY(!w.IsReferenceFolder(w.Folders()[0]) && !list->child(0)->state().checked);
        }

        // Space on the first folder: the same box the item reads.
        w.lbFolders->setFocus();
        w.lbFolders->setCurrentRow(0);
        QTest::keyClick(w.lbFolders, Qt::Key_Space);
        QVERIFY(w.IsReferenceFolder(w.Folders()[0]));
        QVERIFY(list->child(0)->state().checked);
    }

    // Pressing a cell of an item row makes the row the current, selected
    // one, as a click does, and checks nothing; a header row takes neither.
    void pressSelectsTheRow()
    {
        RecordingDesktop desktop;
        TestDir dir;
        TMainForm w;
        w.show();
        ScanTwoGroups(w, dir);
        QTreeView* view = w.lvFilesView;
        auto* model = static_cast<ResultModel*>(view->model());
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
        QAccessibleTableInterface* table = TableOf(view);
        const QString press = QAccessibleActionInterface::pressAction();
        const bool checked = w.lvFiles.Item(2).Checked;

        const QModelIndex row = model->IndexOfItem(2);
        const int line = LineOf(view, row);
        QAccessibleInterface* cell = table->cellAt(line, 1);
        QVERIFY(cell->actionInterface()->actionNames().contains(press));
        cell->actionInterface()->doAction(press);
        QCOMPARE(view->currentIndex().siblingAtColumn(0), row);
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList { row });
        QCOMPARE(table->selectedRows(), QList<int> { line });
        QVERIFY(cell->state().selected && table->cellAt(line, 0)->state().selected);
        QCOMPARE(tree->focusChild(), cell);
        QCOMPARE(w.lvFiles.Item(2).Checked, checked);

        const int header = LineOf(view, row.parent());
        QVERIFY(model->IsGroupRow(row.parent()));
        QVERIFY(table->cellAt(header, 0)->actionInterface()->actionNames().isEmpty());
        table->cellAt(header, 0)->actionInterface()->doAction(press);
        QVERIFY(!table->selectRow(header));
        QCOMPARE(view->selectionModel()->selectedRows(), QModelIndexList { row });

        // The table's own row selection goes the same way.
        const int other = LineOf(view, model->IndexOfItem(0));
        QVERIFY(table->selectRow(other));
        QCOMPARE(table->selectedRows(), QList<int> { other });
        QCOMPARE(view->currentIndex().siblingAtColumn(0), model->IndexOfItem(0));
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_ui_accessible.moc"
