// The main window through the accessibility interface, as a screen reader
// meets it: names for the controls without a caption of their own (in the
// current language), and the rows of both result pages as checkable cells
// whose state follows the check boxes.

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

    // The cell of the check box of item itemIndex in view.
    static QAccessibleInterface* CheckCell(QTreeView* view, int itemIndex)
    {
        auto* model = static_cast<ResultModel*>(view->model());
        const QModelIndex index = model->IndexOfItem(itemIndex);
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(view);
        QAccessibleTableInterface* table = tree ? tree->tableInterface() : nullptr;
        if (!table)
            return nullptr;
        // The tree's rows are the rows it shows, headers included.
        const int row = view->visualRect(index).isValid() ? [&] {
            int r = 0;
            for (QModelIndex i = view->indexAt(QPoint(1, 1)); i.isValid() && i != index; i = view->indexBelow(i))
                ++r;
            return r;
        }() : -1;
        return row < 0 ? nullptr : table->cellAt(row, 0);
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
};

QTEST_MAIN(TestAccessible)
#include "tst_ui_accessible.moc"
