// Times the comparison of checked folders before a removal: scans FOLDER for
// folder clones (names and sizes, all groups), checks every folder of a group
// but the first in the first groups until N folders are checked, makes the
// removal plan and compares the folders that would go with those that stay.
// Nothing is moved.
//
//   bench_folder_check FOLDER [N]      (N: 1000)
//
// Prints the scan's time, the number of checked folders, how many were found
// to be copies, and the comparison's time. A benchmark, never a test.

#include "engine/FolderContents.h"
#include "engine/RemovalPlan.h"
#include "engine/ScanWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include <cstdio>

namespace {

class QuietWindow : public ScanWindow {
protected:
    void ProcessPendingEvents() override { QCoreApplication::processEvents(); }
    void ShowMessage(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_folder_check FOLDER [N]\n");
        return 2;
    }
    const int wanted = argc > 2 ? std::atoi(argv[2]) : 1000;
    QuietWindow w;
    w.FSettings.FileDuplicates = false;
    w.FSettings.DirDuplicates = true;
    w.FSettings.MaxGroups = 0;
    w.AddFolder(QString::fromLocal8Bit(argv[1]));
    QElapsedTimer clock;
    clock.start();
    w.btnScanClick();
    const double scanned = double(clock.nsecsElapsed()) / 1e6;

    int checked = 0;
    QSet<int> met;
    for (int i = 0; i < w.lvDirs.ItemCount() && checked < wanted; ++i) {
        const int group = w.lvDirs.Item(i).GroupId;
        if (met.contains(group)) {
            w.lvDirs.SetChecked(i, true);
            ++checked;
        } else {
            met.insert(group);
        }
    }
    clock.restart();
    RemovalPlan plan = PlanRemoval(w.lvDirs, ResultPage::Dirs);
    const double planned = double(clock.nsecsElapsed()) / 1e6;
    const int going = int(plan.Entries.size());
    clock.restart();
    const std::atomic<bool> stop { false };
    FolderCompareProgress progress;
    VerifyFolderCopies(w.lvDirs, plan, ContentOptions(), stop, progress);
    const double compared = double(clock.nsecsElapsed()) / 1e6;
    std::printf("scan: %d groups in %.1f ms\n", w.lvDirs.GroupCount(), scanned);
    std::printf("checked %d folders in %d groups; plan %.1f ms\n", checked, int(met.size()), planned);
    std::printf("compared %d folders (%d trees read, %d files compared by content) in %.1f ms: %d copies, %d left out\n",
        going, progress.FoldersRead.load(), progress.FilesToCompare.load(), compared, int(plan.Entries.size()),
        going - int(plan.Entries.size()));
    return 0;
}
