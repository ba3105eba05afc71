#pragma once
// The scan window: the state and the steps of a scan, run against the few
// window operations a window provides. TMainForm (ui/), the command-line host
// (cli/) and the tests' recording window derive from it.
//
// Everything here runs on the window's thread, except HashFile, which the
// hashing workers call. A step reports a failure that is not about one file or
// folder by throwing (std::exception); the Scan command shows it.

#include "engine/CompareMode.h"
#include "engine/ContentStages.h"
#include "engine/FileStore.h"
#include "engine/FolderSignature.h"
#include "engine/ResultList.h"
#include "engine/SkipReport.h"
#include "engine/TFileInfo.h"
#include "platform/core/PathWalk.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// The values of the settings controls, for windows without controls.
struct ScanSettings {
    int CompareIndex = 3; // rgCompare item index; -1 when none is chosen
    bool FileDuplicates = true;
    bool DirDuplicates = false;
    QString Masks = QStringLiteral("*.*");
    int MinSizeMB = 1;
    bool ParallelHash = true;
    int MaxGroups = 100;
    int MinGroupSize = 2;
    QStringList Exclude; // patterns (see Exclusions.h); none by default
    bool FolderContents = false; // folder clone groups split by the bytes of their files
    bool FollowFolderLinks = true; // links to folders below a listed folder are walked
    bool OneFileSystem = false;    // the walk stays on the mounts of the listed folders
};

struct FolderCompareProgress;
struct RemovalPlan;

// An error with a text for the person in front of the window.
class ScanError : public std::runtime_error {
public:
    explicit ScanError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

class ScanWindow {
public:
    ScanWindow();
    virtual ~ScanWindow();
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    // ---- commands
    // Runs one whole scan. Ignored while a run is in progress.
    void btnScanClick();
    // Asks the running scan to stop at its next test.
    void btnStopClick();
    // Asks for a folder (ChooseFolder) and adds it. Ignored during a run.
    void btnAddFolderClick();
    // Removes the selected folder (SelectedFolderIndex). Ignored during a run.
    void btnRemoveFolderClick();

    // Adds a chosen folder as the folder dialog would: normalized, not twice,
    // and FLastAddFolderParent set. Returns false when nothing was added
    // (empty, already listed, or a run is in progress).
    bool AddFolder(const QString& chosenPath);
    const QStringList& Folders() const { return FFolders; }
    // Reference folders: listed folders whose files and folders take part in
    // groups but are never checked or moved to the trash. A folder that is
    // not listed is ignored; removing a folder from the list ends its mark.
    // Ignored during a run.
    void SetReferenceFolder(const QString& folder, bool reference);
    bool IsReferenceFolder(const QString& folder) const { return FReferenceFolders.contains(folder); }
    const QStringList& ReferenceFolders() const { return FReferenceFolders; }

    bool IsRunning() const { return FRunning; }
    // The listed folders of the last scan with the identity collection met
    // them with (no trailing "/"): a removal's walk to an entry compares them.
    const QList<platform::KnownFolder>& ScannedFolders() const { return FScannedFolders; }

    // Before checked folders go to the trash: compares each folder that plan
    // (PlanRemoval on lvDirs' data, list) would move with the folders of its
    // group that stay, and takes the ones equal to none of them out of plan
    // (FolderContents.h). Runs as a run of its own: Stop enabled, the other
    // commands waiting, the progress in the status line, which shows its old
    // text again at the end. Returns false when Stop ended it (plan is then
    // unchanged) or a scan is running; true when there was nothing to compare.
    bool CompareFoldersBeforeRemoval(const ResultList& list, RemovalPlan& plan);

    // ---- the steps of a scan
    void CollectFiles();
    void ComputeAllHashes();
    // afterStop: a stop came during hashing; the groups of the files settled
    // by then are listed all the same, without status texts of their own.
    void FindFileDuplicates(bool afterStop = false);
    void FindDirectoryDuplicates();

    // ---- window operations of the steps
    void PumpMessages();
    void SetMarquee(bool On);
    void BeginListUpdate(ResultList& View, bool& WasGroupView);
    void EndListUpdate(ResultList& View, bool GroupView);
    void ClearListGroups(ResultList& View);
    void ClearResults();
    CompareMode GetCompareMode();
    // Runs work on another thread and pumps every 30 milliseconds until it
    // has ended; rethrows what it threw. work must poll FStopRequested itself.
    // With tick, tick runs before every pump, the first one at once; without,
    // the first pump comes after 30 milliseconds (a quick work pumps never).
    void RunOffThread(const std::function<void()>& work, const std::function<void()>& tick = {});
    // True inside a pump that only keeps the window alive while work without
    // a tick runs (a listing): the steps' own pumps come at fixed points, these
    // at moments that depend on the machine's speed.
    bool InKeepAlivePump() const { return FKeepAlivePump; }

    // ---- helpers
    // Trimmed, absolute, ending in "/"; the empty text for an empty input.
    static QString NormalizeFolder(const QString& Text);
    // The masks of a mask text; at least one ("*.*").
    static QStringList ParseMasks(const QString& Text);
    // Whether name matches mask ("*.*" matches every name).
    static bool MaskMatches(const QString& mask, const QString& name);
    // SHA-1 of the file's content in 40 lower-case hexadecimal digits; the
    // empty text when no regular file exists at FileName. Throws when the file
    // cannot be opened or read. Safe to call from any thread.
    static QString HashFile(const QString& FileName);
    void AddFileGroup(const std::vector<TFileInfo*>& Files, qint64 TotalSize, int& GroupNumber);
    // The rows of one folder group; DirSize gives each folder's size.
    void AddDirGroup(const TDirGroupRec& Group, const QHash<QString, qint64>& DirSize, int& GroupNumber);

    // ---- display state, shown by the window through the hooks below
    const QString& StatusText() const { return FStatus; }
    int ProgressMin() const { return FProgressMin; }
    int ProgressMax() const { return FProgressMax; }
    int ProgressPosition() const { return FProgressPos; }
    bool ProgressMarquee() const { return FMarquee; }
    // File clone groups the last FindFileDuplicates formed, before Max groups
    // cut the listing (0 until it has grouped).
    int FileGroupsFound() const { return FFileGroupsFound; }

    // ---- scan state
    ResultList lvFiles;
    ResultList lvDirs;
    TFileList FFiles;   // owns the records, in collection order
    FileIndex FFileMap; // by exact FullPath
    // What the last run could not read or left out, by reason.
    SkipReport FSkips;
    std::atomic<bool> FStopRequested { false };
    QString FLastAddFolderParent;

    // The settings of a window without controls (the CLI, tests); TMainForm
    // reads its controls instead.
    ScanSettings FSettings;
    // How the workers compare contents (Threads 0: one per logical processor).
    ContentOptions FContentOptions;

protected:
    // ---- what a window provides
    // Handles every pending event once and returns; never waits.
    virtual void ProcessPendingEvents() = 0;
    // A plain message box (OK).
    virtual void ShowMessage(const QString& text) = 0;
    // The folder dialog; the chosen folder or the empty text.
    virtual QString ChooseFolder(const QString& title, const QString& startFolder);
    // Index of the selected folder item, or -1.
    virtual int SelectedFolderIndex() const { return -1; }

    // Notifications: the display state above changed.
    virtual void StatusChanged() { }
    virtual void ProgressChanged() { }
    // A run began or ended: Stop enabled, cursor, commands to lock.
    virtual void RunningChanged() { }
    virtual void FoldersChanged() { }

    // Settings, read at the moment each step tests them.
    virtual int CompareIndex() const { return FSettings.CompareIndex; }
    virtual bool FileDuplicatesChecked() const { return FSettings.FileDuplicates; }
    virtual bool DirDuplicatesChecked() const { return FSettings.DirDuplicates; }
    virtual QString MasksText() const { return FSettings.Masks; }
    virtual int MinSizeMBValue() const { return FSettings.MinSizeMB; }
    virtual bool ParallelHashChecked() const { return FSettings.ParallelHash; }
    virtual int MaxGroupsValue() const { return FSettings.MaxGroups; }
    virtual int MinGroupSizeValue() const { return FSettings.MinGroupSize; }
    virtual QStringList ExcludePatterns() const { return FSettings.Exclude; }
    virtual bool FolderContentsChecked() const { return FSettings.FolderContents; }
    virtual bool FollowFolderLinksChecked() const { return FSettings.FollowFolderLinks; }
    virtual bool OneFileSystemChecked() const { return FSettings.OneFileSystem; }

    // ---- display setters for the steps
    void SetStatus(const QString& text);
    void SetProgressMin(int v);
    void SetProgressMax(int v);
    void SetProgressPosition(int v);
    void SetProgressStyleMarquee(bool on);
    // The status text and progress of a folder comparison.
    void ShowCompareProgress(const FolderCompareProgress& progress);

    QStringList FFolders; // lbFolders: normalized, in the order of adding
    QStringList FReferenceFolders; // the reference ones among them, in list order
    QList<platform::KnownFolder> FScannedFolders;

private:
    bool FRunning = false;
    bool FKeepAlivePump = false;
    QString FStatus;
    int FFileGroupsFound = 0;
    int FProgressMin = 0;
    int FProgressMax = 100;
    int FProgressPos = 0;
    bool FMarquee = false;
};
