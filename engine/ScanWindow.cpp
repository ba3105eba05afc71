#include "engine/ScanWindow.h"

#include "engine/ScopeExit.h"
#include "engine/TrimBlanks.h"

#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <chrono>
#include <exception>
#include <semaphore>
#include <thread>

ScanWindow::ScanWindow()
{
    lvFiles.Columns = QStringList { Translate(QStringLiteral("Group")), Translate(QStringLiteral("File name")),
        Translate(QStringLiteral("Directory")), Translate(QStringLiteral("File size (MB)")) };
    lvFiles.ColumnWidths = { 60, 300, 520, 100 };
    lvDirs.Columns = QStringList { Translate(QStringLiteral("Group")), Translate(QStringLiteral("Directory")),
        Translate(QStringLiteral("Size")) };
    lvDirs.ColumnWidths = { 60, 740, 160 };
}

ScanWindow::~ScanWindow() = default;

QString ScanWindow::ChooseFolder(const QString&, const QString&)
{
    return QString();
}

// ---- display state

void ScanWindow::SetStatus(const QString& text)
{
    FStatus = text;
    StatusChanged();
}

void ScanWindow::SetProgressMin(int v)
{
    FProgressMin = v;
    ProgressChanged();
}

void ScanWindow::SetProgressMax(int v)
{
    FProgressMax = v;
    ProgressChanged();
}

void ScanWindow::SetProgressPosition(int v)
{
    FProgressPos = v;
    ProgressChanged();
}

void ScanWindow::SetProgressStyleMarquee(bool on)
{
    FMarquee = on;
    ProgressChanged();
}

// ---- the Scan and Stop commands

void ScanWindow::btnScanClick()
{
    // Pumps deliver every command while a run is under way; a second run would
    // free the records and rows the running step still uses.
    if (FRunning)
        return;
    if (FFolders.isEmpty()) {
        ShowMessage(Translate(QStringLiteral("Please add at least one folder.")));
        return;
    }
    FStopRequested = false;
    FRunning = true;
    RunningChanged();

    try {
        ClearResults();
        CollectFiles();
        if (!FStopRequested) {
            // Folder clone detection reads no digest: only file clones by
            // content need one.
            if (GetCompareMode() == CompareMode::ByContent && FileDuplicatesChecked()) {
                ComputeAllHashes();
                // The workers have all ended: the run says so, instead of
                // keeping "Stopping SHA-1 hashing..." on the screen.
                if (FStopRequested)
                    SetStatus(Translate(QStringLiteral("Cancelled")));
            }
            if (!FStopRequested) {
                if (FileDuplicatesChecked())
                    FindFileDuplicates();
                if (FStopRequested) {
                    SetStatus(Translate(QStringLiteral("Cancelled")));
                } else {
                    if (DirDuplicatesChecked())
                        FindDirectoryDuplicates();
                    SetStatus(FStopRequested ? Translate(QStringLiteral("Cancelled"))
                                             : QStringLiteral("  ") + Translate(QStringLiteral("Done.")));
                }
            }
        }
    } catch (const std::exception& e) {
        ShowMessage(Translate(QStringLiteral("Error: ")) + QString::fromUtf8(e.what()));
    } catch (...) {
        ShowMessage(Translate(QStringLiteral("Error: ")) + QStringLiteral("unknown error"));
    }

    SetProgressPosition(0);
    FRunning = false;
    RunningChanged();
}

void ScanWindow::btnStopClick()
{
    FStopRequested = true;
    SetStatus(Translate(QStringLiteral("Stopping...")));
}

// ---- folder list

void ScanWindow::btnAddFolderClick()
{
    if (FRunning)
        return;
    const QString start = platform::DirectoryExists(FLastAddFolderParent) ? FLastAddFolderParent : QString();
    const QString chosen = ChooseFolder(Translate(QStringLiteral("Select folder to scan")), start);
    if (chosen.isEmpty())
        return;
    AddFolder(chosen);
}

bool ScanWindow::AddFolder(const QString& chosenPath)
{
    if (FRunning)
        return false;
    const QString folder = NormalizeFolder(chosenPath);
    if (folder.isEmpty())
        return false;
    // The next dialog starts in the parent of the chosen folder, also when it
    // was listed already.
    QString bare = folder;
    while (bare.size() > 1 && bare.endsWith(u'/'))
        bare.chop(1);
    FLastAddFolderParent = FolderPart(bare);

    if (FFolders.contains(folder)) // paths are exact on this platform
        return false;
    FFolders.append(folder);
    FoldersChanged();
    return true;
}

void ScanWindow::btnRemoveFolderClick()
{
    if (FRunning)
        return;
    const int i = SelectedFolderIndex();
    if (i < 0 || i >= FFolders.size())
        return;
    FReferenceFolders.removeAll(FFolders[i]);
    FFolders.removeAt(i);
    FoldersChanged();
}

void ScanWindow::SetReferenceFolder(const QString& folder, bool reference)
{
    if (FRunning || !FFolders.contains(folder) || IsReferenceFolder(folder) == reference)
        return;
    FReferenceFolders.clear();
    for (const QString& f : FFolders)
        if (f == folder ? reference : IsReferenceFolder(f))
            FReferenceFolders.append(f);
    FoldersChanged();
}

QString ScanWindow::NormalizeFolder(const QString& Text)
{
    // Characters up to the blank are trimmed, unless they are part of the name
    // of an existing folder (legal here, unlike on some systems).
    const QString t = platform::DirectoryExists(Text) ? Text : TrimBlanks(Text);
    if (t.isEmpty())
        return QString();
    QString abs = platform::AbsolutePath(t);
    if (!abs.endsWith(u'/'))
        abs += u'/';
    return abs;
}

// ---- window operations

void ScanWindow::PumpMessages()
{
    ProcessPendingEvents();
}

void ScanWindow::RunOffThread(const std::function<void()>& work, const std::function<void()>& tick)
{
    std::binary_semaphore ended { 0 };
    std::exception_ptr error;
    std::jthread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        ended.release();
    });
    if (tick) {
        // The last tick comes after the work has ended, so the display shows
        // where it ended.
        for (bool done = false;;) {
            tick();
            PumpMessages();
            if (done)
                break;
            done = ended.try_acquire_for(std::chrono::milliseconds(30));
        }
    } else {
        while (!ended.try_acquire_for(std::chrono::milliseconds(30))) {
            FKeepAlivePump = true;
            ScopeExit reset([this] { FKeepAlivePump = false; });
            PumpMessages();
        }
    }
    worker.join();
    if (error)
        std::rethrow_exception(error);
}

void ScanWindow::SetMarquee(bool On)
{
    if (On && !FMarquee)
        SetProgressStyleMarquee(true);
    else if (!On && FMarquee)
        SetProgressStyleMarquee(false);
    PumpMessages();
}

void ScanWindow::BeginListUpdate(ResultList& View, bool& WasGroupView)
{
    WasGroupView = View.GroupView();
    View.SetRedraw(false);
    View.BeginUpdate();
    View.SetGroupView(false);
}

void ScanWindow::EndListUpdate(ResultList& View, bool GroupView)
{
    View.EndUpdate();
    View.SetGroupView(GroupView);
    View.SetRedraw(true);
    View.Invalidate();
}

void ScanWindow::ClearListGroups(ResultList& View)
{
    while (View.GroupCount() > 0)
        View.DeleteFirstGroup();
}

void ScanWindow::ClearResults()
{
    // One reset per list for the whole clearing, not one per deleted group.
    lvFiles.BeginUpdate();
    lvDirs.BeginUpdate();
    ScopeExit endUpdates([this] {
        lvDirs.EndUpdate();
        lvFiles.EndUpdate();
    });
    lvFiles.ClearItems();
    lvDirs.ClearItems();
    ClearListGroups(lvFiles);
    ClearListGroups(lvDirs);
    FFileMap.clear();
    FFiles.clear();
    FScannedFolders.clear();
    FSkips.Clear();
    SetProgressPosition(0);
    SetStatus(QString());
}

CompareMode ScanWindow::GetCompareMode()
{
    switch (CompareIndex()) {
    case 0:
        return CompareMode::ByName;
    case 1:
        return CompareMode::BySize;
    case 2:
        return CompareMode::ByNameAndSize;
    default:
        return CompareMode::ByContent;
    }
}
