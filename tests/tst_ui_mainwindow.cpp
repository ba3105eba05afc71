// The main window on the offscreen platform: its fresh state, scans started
// from the Scan button filling the file clone list, Stop and close during a
// scan, the page and settings-panel switches, and the general error handler.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestDir.h"

#include "engine/ResultList.h"
#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/Application.h"
#include "ui/ResultModel.h"
#include "ui/uMainForm.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QAbstractButton>
#include <QDir>
#include <QScrollArea>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// Runs action inside the first pump of the next scan (or the next event
// processing), as a click at that moment would arrive.
void AtNextPump(std::function<void()> action)
{
    QTimer::singleShot(0, qApp, std::move(action));
}

QStringList RowTexts(const QAbstractItemModel& m, const QModelIndex& row)
{
    QStringList texts;
    for (int c = 0; c < m.columnCount(row.parent()); ++c)
        texts << m.index(row.row(), c, row.parent()).data().toString();
    return texts;
}

// A Desktop whose folder dialog fails, as a broken platform dialog would.
class FailingFolderDesktop : public RecordingDesktop {
public:
    QString ChooseFolder(QWidget*, const QString&, const QString&) override
    {
        throw std::runtime_error("The folder dialog is not available.");
    }
};

// A widget whose event handler fails: what the general handler is for.
class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Something broke in a handler.");
        return QWidget::event(e);
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        StartWindowTests();
    }

    void freshWindow()
    {
        RecordingDesktop desktop;
        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QCOMPARE(w.windowTitle(), QStringLiteral("Twinlens " TWINLENS_VERSION));
        QCOMPARE(w.rgCompare->ItemIndex(), 3);
        QCOMPARE(w.rgCompare->Item(2)->text(), QStringLiteral("Na&me && Size")); // shown as "Name & Size"
        QVERIFY(w.chkFileDuplicates->isChecked());
        QVERIFY(!w.chkDirDuplicates->isChecked());
        QCOMPARE(w.edMasks->text(), QStringLiteral("*.*"));
        QCOMPARE(w.seMinSizeMB->value(), 1);
        QCOMPARE(w.seMinSizeMB->maximum(), 1048576);
        QVERIFY(w.chkParallelHash->isChecked());
        QVERIFY(w.chkFollowLinks->isChecked());
        QCOMPARE(w.seMaxGroups->value(), 100);
        QCOMPARE(w.seMaxGroups->maximum(), 1000000);
        QCOMPARE(w.seMinGroupSize->value(), 2);
        QCOMPARE(w.seMinGroupSize->minimum(), 2);
        QCOMPARE(w.seMinGroupSize->maximum(), 1000);
        QCOMPARE(w.lbFolders->count(), 0);
        // Labels interpret "&&" as every other caption does only with a buddy.
        for (QLabel* l : { w.Label1, w.Label2, w.Label3, w.Label4, w.Label5 })
            QVERIFY2(l->buddy(), qPrintable(l->objectName()));

        QCOMPARE(w.lblStatus->text(), QStringLiteral("Ready"));
        QCOMPARE(w.ProgressBar->value(), 0);
        QVERIFY(!w.btnStop->isEnabled());
        QVERIFY(!w.Stop1->isEnabled());
        QVERIFY(w.btnScan->isEnabled());
        QVERIFY(w.Scan1->isEnabled());
        QCOMPARE(w.PageControl1->currentWidget(), w.tsFiles);
        QVERIFY(w.FileClones1->isChecked());
        QVERIFY(!w.FolderClones1->isChecked());
        QVERIFY(w.ShowSettingsPanel1->isChecked());
        QVERIFY(w.PanelTop->isVisible());
        QCOMPARE(w.btnScan->iconSize(), QSize(42, 42));
        QVERIFY(!w.btnScan->icon().isNull());

        // Every menu item by its name, with the keys of the everyday commands
        // (Ctrl+E on the export of the page showing).
        const std::pair<const char*, const char*> items[] = { { "AddFolder1", "Ctrl+O" },
            { "ExportFileClones1", "Ctrl+E" }, { "ExportFolderClones1", "" }, { "Exit1", "Ctrl+Q" }, { "Scan1", "F5" },
            { "Stop1", "Esc" }, { "MoveCheckedtoRecycleBin1", "Del" }, { "Checkallbutoneingroup1", "" },
            { "Checkall1", "" }, { "Uncheckall1", "" }, { "FileClones1", "" }, { "FolderClones1", "" },
            { "ShowSettingsPanel1", "" }, { "utorial1", "" }, { "ContactUs1", "" }, { "VisitWebsite1", "" },
            { "About1", "F1" } };
        for (const auto& [name, key] : items) {
            auto* a = w.findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(a, name);
            QVERIFY2(!a->text().isEmpty(), name);
            QCOMPARE(a->shortcut().toString(), QString::fromLatin1(key));
        }
        for (const char* name : { "File1", "Action1", "Edit1", "View1", "Help1", "Page1", "mmLanguage" })
            QVERIFY2(w.findChild<QMenu*>(QString::fromLatin1(name)), name);
        QCOMPARE(w.findChild<QMenu*>("mmLanguage")->title(), QStringLiteral("&Language"));

        // Both lists: their columns with the designed widths.
        const QStringList fileColumns = { "Group", "File name", "Directory", "File size (MB)" };
        const QList<int> fileWidths = { 60, 300, 520, 100 };
        const QStringList dirColumns = { "Group", "Directory", "Size" };
        const QList<int> dirWidths = { 60, 740, 160 };
        auto* files = w.findChild<QTreeView*>("lvFiles");
        auto* dirs = w.findChild<QTreeView*>("lvDirs");
        QVERIFY(files && dirs);
        for (int c = 0; c < fileColumns.size(); ++c) {
            QCOMPARE(files->model()->headerData(c, Qt::Horizontal).toString(), fileColumns[c]);
            QCOMPARE(files->header()->sectionSize(c), fileWidths[c]);
        }
        for (int c = 0; c < dirColumns.size(); ++c) {
            QCOMPARE(dirs->model()->headerData(c, Qt::Horizontal).toString(), dirColumns[c]);
            QCOMPARE(dirs->header()->sectionSize(c), dirWidths[c]);
        }
        QCOMPARE(w.lvFiles.Columns, fileColumns);
        QCOMPARE(w.lvDirs.Columns, dirColumns);
        QCOMPARE(files->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(files->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(files->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(files->palette().color(QPalette::Inactive, QPalette::Highlight),
            files->palette().color(QPalette::Active, QPalette::Highlight));
    }

    void longCaptionsFit()
    {
        RecordingDesktop desktop;
        const QString longOpen = QStringLiteral("Den Speicherort der ausgewählten Datei im Dateimanager zeigen");
        const QString longSize = QStringLiteral("Dateigröße in Megabyte (MB), gerundet");
        InstallTranslationTable({ { "English", "en", "&Open location", "File size (MB)" },
            { "Lang", "xx", longOpen, longSize } });
        CurrentLanguageIndex = 1;
        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        CurrentLanguageIndex = 0;
        InstallTranslationTable({});

        QCOMPARE(w.windowTitle(), QStringLiteral("Twinlens " TWINLENS_VERSION));
        QCOMPARE(w.Button1->text(), longOpen);
        QTRY_VERIFY(w.Button1->width() >= w.Button1->sizeHint().width());
        for (QPushButton* b : w.PanelBottom->findChildren<QPushButton*>())
            QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->objectName()));
        QHeaderView* header = w.lvFilesView->header();
        QCOMPARE(w.lvFilesView->model()->headerData(3, Qt::Horizontal).toString(), longSize);
        QVERIFY(header->sectionSize(3) >= header->sectionSizeHint(3));
        QCOMPARE(header->sectionSize(0), 60); // designed widths stay where the text fits
    }

    void scanFillsFileList()
    {
        RecordingDesktop desktop;
        TestDir dir;
        // Group ranked first: two files of 1.5 MB; second: three of 0.25 MB.
        // A file of the second size with other content belongs to no group.
        dir.createFile("big/a.bin", 1572864, 'b');
        dir.createFile("big/copy/a.bin", 1572864, 'b');
        dir.createFile("small/one.txt", 262144, 's');
        dir.createFile("small/two.txt", 262144, 's');
        dir.createFile("small/deep/three.txt", 262144, 's');
        dir.createFile("small/other.txt", 262144, 'o');
        // Enough further pairs that the listing pumps while its bracket is open.
        for (int i = 0; i < 120; ++i) {
            const QByteArray content = "pair " + QByteArray::number(i);
            dir.createFile(QStringLiteral("pairs/%1/x.dat").arg(i), content);
            dir.createFile(QStringLiteral("pairs/%1/y.dat").arg(i), content);
        }

        TMainForm w;
        w.show();
        auto* view = w.findChild<QTreeView*>("lvFiles");
        auto* model = qobject_cast<ResultModel*>(view->model());
        QVERIFY(model);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        // Without folders the window only says so.
        QTest::mouseClick(w.btnScan, Qt::LeftButton);
        QCOMPARE(desktop.MessageTexts(), QStringList { "Please add at least one folder." });
        QCOMPARE(desktop.Messages.first().Kind, platform::BoxKind::Plain);
        QCOMPARE(desktop.Messages.first().Parent, &w);
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Ready"));

        // Inside every pump: the run display, and the model checked while the
        // listing's bracket is open.
        bool sawRunning = false, sawBracket = false, sawMarquee = false;
        std::unique_ptr<QAbstractItemModelTester> inBracket;
        QTimer pump;
        pump.setInterval(0);
        connect(&pump, &QTimer::timeout, this, [&] {
            if (!w.IsRunning())
                return;
            if (!sawRunning) {
                sawRunning = true;
                QVERIFY(w.btnStop->isEnabled());
                QVERIFY(w.Stop1->isEnabled());
                QVERIFY(!w.btnScan->isEnabled());
                QVERIFY(!w.Scan1->isEnabled());
                QVERIFY(QApplication::overrideCursor());
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
            }
            if (w.ProgressBar->minimum() == 0 && w.ProgressBar->maximum() == 0)
                sawMarquee = true; // the collection's marquee
            if (w.lvFiles.BatchCount() > 0 && !inBracket) {
                sawBracket = true;
                inBracket = std::make_unique<QAbstractItemModelTester>(
                    model, QAbstractItemModelTester::FailureReportingMode::QtTest);
                // A stale row is neither read nor written through.
                if (model->rowCount() > 0) {
                    const QModelIndex first = model->index(0, 0);
                    QVERIFY(!model->setData(first, Qt::Checked, Qt::CheckStateRole));
                    QCOMPARE(model->ItemIndex(first), -1);
                }
                QCOMPARE(w.SelectedItemIndex(w.lvFiles), -1);
            }
        });
        pump.start();

        w.seMinSizeMB->setValue(0);
        w.seMaxGroups->setValue(0); // all
        QVERIFY(w.AddFolder(dir.path()));
        QCOMPARE(w.lbFolders->count(), 1);
        QTest::mouseClick(w.btnScan, Qt::LeftButton);
        pump.stop();

        QVERIFY(sawRunning);
        QVERIFY(sawBracket);
        QVERIFY(sawMarquee);
        QVERIFY(!w.IsRunning());
        QVERIFY2(w.lblStatus->text().startsWith(QStringLiteral("  Done.  ")), qPrintable(w.lblStatus->text()));
        QVERIFY(!w.btnStop->isEnabled());
        QVERIFY(!w.Stop1->isEnabled());
        QVERIFY(w.btnScan->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(w.ProgressBar->value(), w.ProgressBar->minimum());
        QVERIFY(w.ProgressBar->maximum() > w.ProgressBar->minimum()); // not left as a marquee

        QCOMPARE(w.lvFiles.GroupCount(), 122);
        QCOMPARE(model->rowCount(), 122);
        QVERIFY(model->ShowsGroups());

        struct Expected {
            QString Header;
            QStringList Names;
            qint64 Size;
        };
        const Expected expected[] = {
            { "Group 1 (" + FormatSizeMB(2 * 1572864) + ")", { "a.bin", "a.bin" }, 1572864 },
            { "Group 2 (" + FormatSizeMB(3 * 262144) + ")", { "one.txt", "two.txt", "three.txt" }, 262144 },
        };
        for (int g = 0; g < 2; ++g) {
            const QModelIndex group = model->index(g, 0);
            QVERIFY(model->IsGroupRow(group));
            QCOMPARE(group.data().toString(), expected[g].Header);
            QVERIFY(view->isFirstColumnSpanned(g, QModelIndex()));
            QVERIFY(view->isExpanded(group));
            QCOMPARE(model->rowCount(group), expected[g].Names.size());
            QStringList names;
            for (int r = 0; r < model->rowCount(group); ++r) {
                const QModelIndex row = model->index(r, 0, group);
                const QStringList texts = RowTexts(*model, row);
                QCOMPARE(texts.size(), 4);
                QCOMPARE(texts[0], QString::number(g + 1));
                names << texts[1];
                QVERIFY(texts[2].startsWith(dir.path()));
                QVERIFY(!texts[2].endsWith(u'/'));
                QCOMPARE(texts[3], FormatSizeMB(expected[g].Size));
                // All but the first of a group are marked for removal.
                QCOMPARE(row.data(Qt::CheckStateRole).toInt(), r == 0 ? int(Qt::Unchecked) : int(Qt::Checked));
                QVERIFY(model->flags(row).testFlag(Qt::ItemIsUserCheckable));
                QVERIFY(!model->flags(row).testFlag(Qt::ItemIsEditable));
            }
            names.sort();
            QStringList want = expected[g].Names;
            want.sort();
            QCOMPARE(names, want);
        }

        // The check box writes the list's data, and the selection names the item.
        const QModelIndex firstRow = model->index(0, 0, model->index(0, 0));
        const int item = model->ItemIndex(firstRow);
        QVERIFY(item >= 0);
        QVERIFY(model->setData(firstRow, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(w.lvFiles.Item(item).Checked);
        view->setCurrentIndex(firstRow);
        QCOMPARE(w.SelectedItemIndex(w.lvFiles), item);
        QCOMPARE(w.SelectedItemIndex(w.lvDirs), -1);
        QVERIFY(!model->flags(model->index(0, 0)).testFlag(Qt::ItemIsSelectable));
        // Space toggles the row's check box from any column.
        view->setCurrentIndex(model->index(0, 2, model->index(0, 0)));
        QTest::keyClick(view, Qt::Key_Space);
        QVERIFY(!w.lvFiles.Item(item).Checked);
        QCOMPARE(firstRow.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

        // A second scan starts from empty lists and lists the same again, with
        // the first item row current (the focus goes to the results).
        QTest::mouseClick(w.btnScan, Qt::LeftButton);
        QCOMPARE(model->rowCount(), 122);
        QCOMPARE(w.SelectedItemIndex(w.lvFiles), 0);
    }

    void stopDuringScan()
    {
        RecordingDesktop desktop;
        TestDir dir;
        for (int i = 0; i < 60; ++i)
            dir.createFile(QStringLiteral("f%1.txt").arg(i), "same");
        TMainForm w;
        w.show();
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        bool pressed = false;
        AtNextPump([&] {
            QVERIFY(w.IsRunning());
            // What would change the folder list or the results waits.
            for (QWidget* c : std::initializer_list<QWidget*> { w.btnAddFolder, w.btnRemoveFolder,
                     w.btnSelectAllButOne, w.btnCheckAll, w.btnUncheckAll, w.Button1, w.btnDeleteSelected,
                     w.btnExportFiles, w.btnExportDirs })
                QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
            for (QAction* a : { w.AddFolder1, w.ExportFileClones1, w.ExportFolderClones1,
                     w.MoveCheckedtoRecycleBin1, w.Checkallbutoneingroup1, w.Checkall1, w.Uncheckall1 })
                QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
            desktop.FolderAnswers = { dir.path() };
            w.btnAddFolderClick();
            QVERIFY(desktop.FolderRequests.isEmpty());
            QTest::mouseClick(w.btnStop, Qt::LeftButton);
            pressed = true;
        });
        QTest::mouseClick(w.btnScan, Qt::LeftButton);
        QVERIFY(pressed);
        QVERIFY(w.FStopRequested);
        QVERIFY(w.lblStatus->text().startsWith(QStringLiteral("Scanning cancelled.")));
        QCOMPARE(w.lvFiles.ItemCount(), 0);
        QVERIFY(!w.btnStop->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(w.ProgressBar->value(), 0);
        QVERIFY(w.btnAddFolder->isEnabled());
        QVERIFY(w.Checkall1->isEnabled());

        // Stop from the menu works the same way.
        AtNextPump([&] { w.Stop1->trigger(); });
        w.Scan1->trigger();
        QVERIFY(w.lblStatus->text().startsWith(QStringLiteral("Scanning cancelled.")));
    }

    void closeDuringScan()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("a.txt", "same");
        dir.createFile("b.txt", "same");
        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        bool stillOpen = false;
        AtNextPump([&] {
            w.Exit1->trigger();
            stillOpen = w.isVisible() && w.IsRunning();
        });
        QTest::mouseClick(w.btnScan, Qt::LeftButton);
        QVERIFY(stillOpen);
        QVERIFY(w.FStopRequested);
        QVERIFY(!w.IsRunning());
        QVERIFY(!w.isVisible());
        QVERIFY(!QApplication::overrideCursor());

        // Closed when idle, it closes at once.
        w.show();
        QVERIFY(w.isVisible());
        w.Exit1->trigger();
        QVERIFY(!w.isVisible());
    }

    void pageAndViewChecks()
    {
        RecordingDesktop desktop;
        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTabBar* tabs = w.PageControl1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(w.PageControl1->currentWidget(), w.tsDirs);
        QVERIFY(w.FolderClones1->isChecked());
        QVERIFY(!w.FileClones1->isChecked());
        QCOMPARE(&w.ActiveList(), &w.lvDirs);

        w.FileClones1->trigger();
        QCOMPARE(w.PageControl1->currentWidget(), w.tsFiles);
        QVERIFY(w.FileClones1->isChecked());
        QVERIFY(!w.FolderClones1->isChecked());
        QCOMPARE(&w.ActiveList(), &w.lvFiles);
        // Choosing the page already shown keeps its check mark.
        w.FileClones1->trigger();
        QVERIFY(w.FileClones1->isChecked());
        QCOMPARE(w.PageControl1->currentWidget(), w.tsFiles);

        w.FolderClones1->trigger();
        QCOMPARE(w.PageControl1->currentWidget(), w.tsDirs);
        QVERIFY(w.FolderClones1->isChecked());
        QVERIFY(!w.FileClones1->isChecked());
    }

    void settingsPanelHideShow()
    {
        RecordingDesktop desktop;
        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.rgCompare->SetItemIndex(1);
        w.edMasks->setText("*.jpg");
        w.seMaxGroups->setValue(7);
        const int pagesTop = w.PageControl1->geometry().top();

        w.ShowSettingsPanel1->trigger();
        QVERIFY(!w.ShowSettingsPanel1->isChecked());
        QVERIFY(!w.PanelTop->isVisible());
        QTRY_VERIFY(w.PageControl1->geometry().top() < pagesTop); // the pages take the height

        w.ShowSettingsPanel1->trigger();
        QVERIFY(w.ShowSettingsPanel1->isChecked());
        QVERIFY(w.PanelTop->isVisible());
        QTRY_COMPARE(w.PageControl1->geometry().top(), pagesTop);
        QCOMPARE(w.PanelTop->geometry().top(), 0);
        QVERIFY(w.PanelTop->geometry().bottom() < w.PageControl1->geometry().top());
        QCOMPARE(w.rgCompare->ItemIndex(), 1);
        QCOMPARE(w.edMasks->text(), QStringLiteral("*.jpg"));
        QCOMPARE(w.seMaxGroups->value(), 7);
    }

    void addAndRemoveFolders()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createDir("photos/2024");
        dir.createDir("music");
        TMainForm w;
        desktop.FolderAnswers = { dir.path("photos/2024"), dir.path("music"), QString() };
        w.AddFolder1->trigger();
        QTest::mouseClick(w.btnAddFolder, Qt::LeftButton);
        QTest::mouseClick(w.btnAddFolder, Qt::LeftButton); // cancelled
        QCOMPARE(desktop.FolderRequests.size(), 3);
        QCOMPARE(desktop.FolderRequests[0].Parent, &w);
        // The dialog opens again where the last chosen folder lies.
        QCOMPARE(desktop.FolderRequests[1].StartFolder, dir.path("photos"));
        QCOMPARE(w.lbFolders->count(), 2);
        QCOMPARE(w.lbFolders->item(0)->text(), dir.folder("photos/2024"));
        QCOMPARE(w.lbFolders->item(1)->text(), dir.folder("music"));

        QTest::mouseClick(w.btnRemoveFolder, Qt::LeftButton); // nothing selected
        QCOMPARE(w.lbFolders->count(), 2);
        w.lbFolders->setCurrentRow(0);
        QTest::mouseClick(w.btnRemoveFolder, Qt::LeftButton);
        QCOMPARE(w.lbFolders->count(), 1);
        QCOMPARE(w.lbFolders->item(0)->text(), dir.folder("music"));
        QCOMPARE(w.Folders(), QStringList { dir.folder("music") });
    }

    // A folder's check box in the list makes it a reference folder; its
    // rows then show the mark, take no check and no click, and a scan
    // with exclusions leaves out what the Exclude box names.
    void referenceFoldersAndExclusions()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("work/a.bin", QByteArray("same"));
        dir.createFile("work/b.bin", QByteArray("same"));
        dir.createFile("work/.git/c.bin", QByteArray("same"));
        dir.createFile("archive/a.bin", QByteArray("same"));
        TMainForm w;
        w.show();
        w.AddFolder(dir.path("work"));
        w.AddFolder(dir.path("archive"));
        QCOMPARE(w.lbFolders->item(1)->checkState(), Qt::Unchecked);
        QVERIFY(w.lbFolders->item(1)->flags() & Qt::ItemIsUserCheckable);
        // Space on the focused entry ticks its box, as a click does.
        w.lbFolders->setFocus();
        w.lbFolders->setCurrentRow(1);
        QTest::keyClick(w.lbFolders, Qt::Key_Space);
        QCOMPARE(w.ReferenceFolders(), QStringList { dir.folder("archive") });
        QCOMPARE(w.lbFolders->item(1)->checkState(), Qt::Checked);
        QVERIFY(!w.lbFolders->toolTip().isEmpty());

        w.edExclude->setText(QStringLiteral(".git"));
        w.seMinSizeMB->setValue(0);
        w.btnScanClick();
        QStringList rows;
        for (const ResultItem& item : w.lvFiles.Items())
            rows << item.Data->FullPath().mid(dir.path().size() + 1) + (item.Reference ? "!" : "") + (item.Checked ? "*" : "");
        QCOMPARE(rows, (QStringList { "work/a.bin*", "work/b.bin*", "archive/a.bin!" }));

        auto* model = w.lvFilesView->model();
        const QModelIndex refRow = static_cast<ResultModel*>(model)->IndexOfItem(2);
        QVERIFY(!(model->flags(refRow) & Qt::ItemIsUserCheckable));
        QVERIFY(!model->data(refRow, Qt::CheckStateRole).isValid());
        QVERIFY(!model->data(refRow, Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(model->data(refRow, Qt::ToolTipRole).toString(),
            QStringLiteral("In a reference folder: kept, never checked or moved."));
        QVERIFY(!model->setData(refRow, Qt::Checked, Qt::CheckStateRole) || !w.lvFiles.Item(2).Checked);
        w.btnCheckAllClick();
        QVERIFY(!w.lvFiles.Item(2).Checked);
        w.KeepNewest1->trigger();
        QVERIFY(!w.lvFiles.Item(2).Checked);

        // The time rules have nothing to go by on the folder page.
        w.PageControl1->setCurrentWidget(w.tsDirs);
        QVERIFY(!w.KeepNewest1->isEnabled() && w.KeepShortestPath1->isEnabled());
        w.PageControl1->setCurrentWidget(w.tsFiles);
        QVERIFY(w.KeepNewest1->isEnabled());
        QCOMPARE(w.btnCheckRules->menu(), w.mmCheckRules);
    }

    // "Follow folder links" decides, at the next scan, whether a link to a
    // folder below a listed folder is walked.
    void followFolderLinks()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("t/a.bin", QByteArray("same"));
        dir.createFile("t/b.bin", QByteArray("same"));
        dir.createFile("elsewhere/c.bin", QByteArray("same"));
        dir.createLink(dir.path("elsewhere"), "t/link");
        TMainForm w;
        w.show();
        w.AddFolder(dir.path("t"));
        w.seMinSizeMB->setValue(0);
        QVERIFY(!w.chkFollowLinks->accessibleName().isEmpty());
        QVERIFY(!w.chkFollowLinks->toolTip().isEmpty());
        for (const bool follow : { true, false }) {
            w.chkFollowLinks->setChecked(follow);
            w.btnScanClick();
            QStringList rows;
            for (const ResultItem& item : w.lvFiles.Items())
                rows << item.Data->FullPath().mid(dir.path().size() + 1);
            QCOMPARE(rows, follow ? QStringList({ "t/a.bin", "t/b.bin", "t/link/c.bin" }) : QStringList({ "t/a.bin", "t/b.bin" }));
        }
    }

    void errorInCommandIsShown()
    {
        {
            FailingFolderDesktop desktop;
            TMainForm w;
            w.show();
            w.AddFolder1->trigger();
            QCOMPARE(desktop.Messages.size(), 1);
            QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Error);
            QCOMPARE(desktop.Messages[0].Title, QStringLiteral("Twinlens"));
            QCOMPARE(desktop.Messages[0].Text, QStringLiteral("The folder dialog is not available."));
            // The window goes on.
            QVERIFY(w.isVisible());
            QVERIFY(w.AddFolder(QDir::tempPath()));
            QCOMPARE(w.lbFolders->count(), 1);
            QVERIFY(w.btnAddFolder->isEnabled());
        }
        // A failure in any event handler reaches the application's handler.
        RecordingDesktop desktop;
        ThrowingWidget widget;
        QEvent user(QEvent::User);
        QCoreApplication::sendEvent(&widget, &user);
        QCOMPARE(desktop.MessageTexts(), QStringList { "Something broke in a handler." });
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Error);
        QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(desktop.Messages.size(), 2);
    }

    // The panel's settings, the size and the columns outlive the window; the
    // folder list does not.
    void settingsAreKept()
    {
        RecordingDesktop desktop;
        TestDir dir;
        {
            TMainForm w;
            w.show();
            w.AddFolder(dir.path());
            w.edMasks->setText(QStringLiteral("*.jpg; *.png"));
            w.edExclude->setText(QStringLiteral(".git; node_modules"));
            w.seMinSizeMB->setValue(0);
            w.rgCompare->SetItemIndex(1);
            w.chkFileDuplicates->setChecked(false);
            w.chkDirDuplicates->setChecked(true);
            w.chkParallelHash->setChecked(false);
            w.chkFollowLinks->setChecked(false);
            w.seMaxGroups->setValue(0);
            w.seMinGroupSize->setValue(3);
            w.resize(700, 500);
            w.lvFilesView->header()->resizeSection(2, 333);
            w.close();
        }
        TMainForm w;
        QCOMPARE(w.edMasks->text(), QStringLiteral("*.jpg; *.png"));
        QCOMPARE(w.edExclude->text(), QStringLiteral(".git; node_modules"));
        QCOMPARE(w.seMinSizeMB->value(), 0);
        QCOMPARE(w.rgCompare->ItemIndex(), 1);
        QVERIFY(!w.chkFileDuplicates->isChecked());
        QVERIFY(w.chkDirDuplicates->isChecked());
        QVERIFY(!w.chkParallelHash->isChecked());
        QVERIFY(!w.chkFollowLinks->isChecked());
        QCOMPARE(w.seMaxGroups->value(), 0);
        QCOMPARE(w.seMinGroupSize->value(), 3);
        QCOMPARE(w.size(), QSize(700, 500));
        QCOMPARE(w.lvFilesView->header()->sectionSize(2), 333);
        QVERIFY(w.Folders().isEmpty());
        QVERIFY(desktop.Messages.isEmpty());

        // Values out of range or of another type are not taken.
        platform::WriteWindowSettings({ { "MinGroupSize", 1 }, { "Compare", 9 }, { "MaxGroups", "many" } });
        TMainForm odd;
        QCOMPARE(odd.seMinGroupSize->value(), 2);
        QCOMPARE(odd.rgCompare->ItemIndex(), 3);
        QCOMPARE(odd.seMaxGroups->value(), 100);
        platform::WriteWindowSettings({});
    }

    void droppedFoldersAreAdded()
    {
        RecordingDesktop desktop;
        TestDir dir;
        const QString one = dir.createDir("one");
        const QString two = dir.createDir("two");
        const QString file = dir.createFile("three.txt", "not a folder");
        TMainForm w;
        w.show();
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(one), QUrl::fromLocalFile(two), QUrl::fromLocalFile(file) });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(w.Folders().size(), 2);
        QVERIFY(w.Folders()[0].startsWith(one) && w.Folders()[1].startsWith(two));
        QCOMPARE(w.lbFolders->count(), 2);

        // A drag of files only is refused.
        QMimeData files;
        files.setUrls({ QUrl::fromLocalFile(file) });
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &refused);
        QVERIFY(!refused.isAccepted());
    }

    // At 800 x 600 every command button lies inside the window, in English,
    // German and Japanese: the bottom row wraps, the settings panel scrolls.
    void smallScreen_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("en") << "en";
        QTest::newRow("de") << "de";
        QTest::newRow("jp") << "jp";
    }

    void smallScreen()
    {
        QFETCH(QString, code);
        RecordingDesktop desktop;
        LoadTranslationFile(QStringLiteral(TWINLENS_SOURCE_DIR "/resources/transl.dt"));
        for (int c = 0; c < TranslationTable.size(); ++c)
            if (TranslationTable[c].value(1) == code)
                CurrentLanguageIndex = c;
        TMainForm w;
        w.resize(800, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        CurrentLanguageIndex = 0;
        InstallTranslationTable({});
        QCOMPARE(w.size(), QSize(800, 600));
        const QRect inside = w.rect();
        for (QAbstractButton* b : w.PanelBottom->findChildren<QAbstractButton*>()) {
            const QRect at(b->mapTo(&w, QPoint(0, 0)), b->size());
            QVERIFY2(inside.contains(at), qPrintable(b->objectName()));
            QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(b->objectName()));
            // A wrapped row pushes the status line down, never under it.
            if (b->parentWidget() != w.Panel1)
                QVERIFY2(!at.intersects(QRect(w.Panel1->mapTo(&w, QPoint(0, 0)), w.Panel1->size())),
                    qPrintable(b->objectName()));
        }
        auto* scroll = w.findChild<QScrollArea*>("PanelTopScroll");
        QVERIFY(scroll);
        for (QAbstractButton* b : w.PanelTop->findChildren<QAbstractButton*>()) {
            scroll->ensureWidgetVisible(b, 0, 0);
            const QRect at(b->mapTo(scroll->viewport(), QPoint(0, 0)), b->size());
            QVERIFY2(scroll->viewport()->rect().contains(at), qPrintable(b->objectName()));
        }
    }
};

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_mainwindow.moc"
