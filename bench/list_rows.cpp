// Lists a large file clone result into lvFiles through the window's model and
// view, the way a scan does (file clone grouping by size over collected
// records), and reports how long it took and the longest stretch in which the
// window handled no event.
//
//   bench_list_rows [--rows N] [--groups G] [--show SECONDS] [--scan FOLDER] [--reference FOLDER]
//                   [--folder-page]
// With --scan FOLDER and no --show it also times a content scan of FOLDER,
// prints the longest stretch the window went without handling events, and
// times the removal plan (the last-copy guard's look at the disk) for every row.
//
// Defaults: 100000 rows in 20000 groups. With --show the window stays open
// for that long afterwards (for a look or a screenshot); with --scan it shows
// a real scan of FOLDER (file and folder clones, every size) instead, with
// --reference a second folder listed as a reference folder. Runs on
// any Qt platform; QT_QPA_PLATFORM=offscreen needs no display.

#include "engine/RemovalPlan.h"
#include "ui/Application.h"
#include "ui/ResultModel.h"
#include "ui/uMainForm.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

// Watches the event loop: the longest time between two deliveries of a timer
// that is due at every pass.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        FTimer.setInterval(0);
        connect(&FTimer, &QTimer::timeout, this, [this] {
            const qint64 now = FClock.nsecsElapsed();
            if (now - FLast > FLongest)
                FLongest = now - FLast;
            FLast = now;
        });
    }
    void Start()
    {
        FClock.start();
        FLast = 0;
        FLongest = 0;
        FTimer.start();
    }
    // Longest stretch in milliseconds, counting the one up to now.
    double Stop()
    {
        FTimer.stop();
        const qint64 now = FClock.nsecsElapsed();
        if (now - FLast > FLongest)
            FLongest = now - FLast;
        return FLongest / 1e6;
    }

private:
    QTimer FTimer;
    QElapsedTimer FClock;
    qint64 FLast = 0;
    qint64 FLongest = 0;
};

class BenchWindow : public TMainForm {
public:
    using TMainForm::TMainForm;
    void Fill(int rows, int groups)
    {
        FFiles.clear();
        FFiles.reserve(rows);
        for (int i = 0; i < rows; ++i) {
            const int g = i % groups;
            // One size per group, so grouping by size yields exactly the groups.
            FFiles.push_back(std::make_unique<TFileInfo>(
                QStringLiteral("/srv/archive/set%1/folder%2/picture_%3.jpg").arg(i / groups).arg(g).arg(i),
                qint64(1048576) + g));
        }
        rgCompare->SetItemIndex(1); // Size
        seMaxGroups->setValue(0);   // all
        seMinGroupSize->setValue(2);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({ "rows", "rows to list", "N", "100000" });
    parser.addOption({ "groups", "groups to list", "G", "20000" });
    parser.addOption({ "show", "keep the window open this many seconds", "SECONDS", "0" });
    parser.addOption({ "scan", "show a scan of this folder", "FOLDER" });
    parser.addOption({ "reference", "with --scan and --show: a reference folder scanned too", "FOLDER" });
    parser.addOption({ "folder-page", "show the folder clone page" });
    parser.addHelpOption();
    parser.process(app);
    const int rows = parser.value("rows").toInt();
    const int groups = parser.value("groups").toInt();

    BenchWindow w;
    w.show();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300)
        QCoreApplication::processEvents();

    w.Fill(rows, groups);
    auto* view = w.findChild<QTreeView*>("lvFiles");
    StallMeter meter;

    // The listing, then the first paint of the filled list.
    meter.Start();
    clock.restart();
    w.FindFileDuplicates();
    const double listed = clock.nsecsElapsed() / 1e6;
    view->viewport()->repaint();
    QCoreApplication::processEvents();
    const double shown = clock.nsecsElapsed() / 1e6;
    const double stall = meter.Stop();
    auto* model = qobject_cast<ResultModel*>(view->model());
    const int listedRows = w.lvFiles.ItemCount();
    const int topRows = model ? model->rowCount() : -1;

    // Scrolling to the end and back, as a person looking through the list.
    clock.restart();
    view->scrollToBottom();
    view->viewport()->repaint();
    view->scrollToTop();
    view->viewport()->repaint();
    const double scrolled = clock.nsecsElapsed() / 1e6;

    // The check commands: the unchecked fifth, then every row.
    clock.restart();
    w.btnCheckAllClick();
    view->viewport()->repaint();
    const double checkedAll = clock.nsecsElapsed() / 1e6;
    clock.restart();
    w.btnUncheckAllClick();
    view->viewport()->repaint();
    const double uncheckedAll = clock.nsecsElapsed() / 1e6;

    // What the next scan pays to empty the list again.
    meter.Start();
    clock.restart();
    w.ClearResults();
    QCoreApplication::processEvents();
    const double cleared = clock.nsecsElapsed() / 1e6;
    const double clearStall = meter.Stop();

    std::printf("rows %d in %d groups (model: %d top rows)\n", listedRows, groups, topRows);
    std::printf("listed (grouping, rows, reset, expand): %8.1f ms\n", listed);
    std::printf("listed and painted:                     %8.1f ms\n", shown);
    std::printf("longest stretch without events:         %8.1f ms\n", stall);
    std::printf("scroll to end and back:                 %8.1f ms\n", scrolled);
    std::printf("check all, uncheck all:                 %8.1f ms, %.1f ms\n", checkedAll, uncheckedAll);
    std::printf("cleared for the next scan:              %8.1f ms (longest stretch %.1f ms)\n", cleared, clearStall);

    const int show = parser.value("show").toInt();
    if (parser.isSet("scan") && show == 0) {
        // A whole scan of FOLDER by content (every size, all groups): how long
        // the window ever went without handling events meanwhile.
        w.rgCompare->SetItemIndex(3);
        w.seMinSizeMB->setValue(0);
        w.seMaxGroups->setValue(0);
        w.AddFolder(parser.value("scan"));
        meter.Start();
        clock.restart();
        w.btnScanClick();
        const double scanned = clock.nsecsElapsed() / 1e6;
        const double scanStall = meter.Stop();
        std::printf("scan of %s: %d files, %d groups in %.1f ms (longest stretch without events %.1f ms)\n",
            qPrintable(parser.value("scan")), int(w.FFiles.size()), w.lvFiles.GroupCount(), scanned, scanStall);

        // What the last-copy guard pays before a removal of every row: one
        // look at the disk per entry.
        w.btnCheckAllClick();
        clock.restart();
        const RemovalPlan plan = PlanRemoval(w.lvFiles, ResultPage::Files);
        const double planned = clock.nsecsElapsed() / 1e6;
        std::printf("removal plan for %d rows, all checked: %.1f ms (%d groups would lose every copy)\n",
            w.lvFiles.ItemCount(), planned, int(plan.GroupsLosingEveryCopy.size()));
    }
    if (show > 0) {
        if (parser.isSet("scan")) {
            w.rgCompare->SetItemIndex(3);
            w.seMinSizeMB->setValue(0);
            w.chkDirDuplicates->setChecked(true);
            w.AddFolder(parser.value("scan"));
            if (parser.isSet("reference") && w.AddFolder(parser.value("reference")))
                w.SetReferenceFolder(w.Folders().back(), true);
            w.btnScanClick();
        } else {
            w.Fill(rows, groups);
            w.FindFileDuplicates();
        }
        if (parser.isSet("folder-page"))
            w.FolderClones1Click();
        QTimer::singleShot(show * 1000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    return 0;
}
