#pragma once
// The main window: the settings panel, the two result pages, the command
// buttons, the status line and the menu bar. It is the scan window of the
// desktop program: the scan steps (ScanWindow) run on its thread and reach the
// display only through the window hooks below.
//
// Every control carries the program's name as its objectName, so tests and
// the command helpers find it by name. Every command is a slot named after its
// control; a failure that escapes one is shown by the general error handler
// and the window goes on.
//
// While a scan runs, pumps deliver every command. The commands that would
// change the folder list, the collected files or the result lists (Scan, Add
// and Remove folder, the check commands, the removal, the exports, Open
// location) are disabled and also refuse to run; Stop, the page switch, the
// settings panel, the language and the Help items stay available. Closing the
// window during a scan stops the scan and closes once the run has returned.
//
// The class's code is split by concern, one file each:
//   uMainForm.cpp      creation, closing, the scan commands and the window
//                      hooks of the scan (status line, progress, running state)
//   SettingsPanel.cpp  the settings panel, the folder commands, the settings
//                      the scan reads
//   ResultPages.cpp    the two result pages, the bottom panel and the result
//                      commands
//   Menus.cpp          the menu bar and the Help commands
//   LanguageMenu.cpp   the Language submenu and the caption refresh
// MainFormParts.h holds what they share.

#include "BuildInfo.h"
#include "engine/ScanWindow.h"

#include <QGroupBox>
#include <QList>
#include <QMainWindow>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeView;
class ResultModel;
class TBackgroundVersionCheck;
class TFlowLayout;

// Writes CurrentLanguageCode as the saved language choice. Throws
// std::runtime_error (with a translated text naming the store) when the
// settings store cannot be written.
void SaveLanguageChoice();

// Lays the application out right to left when the current language is written
// that way (Arabic), left to right otherwise. Called at start-up, before the
// first window, and on every language switch.
void ApplyLanguageLayout();

// The "Compare files by" radio group: a titled box of exclusive choices with
// an item index (-1 when none is chosen), as the scan reads it.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    // Sets the choices' texts (mnemonic texts: "&&" shows one "&"). The first
    // call makes the choices; later calls only re-caption them and must pass
    // as many texts. The chosen item is not changed.
    void SetItems(const QStringList& items);
    int ItemCount() const { return int(FItems.size()); }
    QRadioButton* Item(int i) const { return FItems.value(i); }
    int ItemIndex() const;
    // Chooses item index; any other value (-1) clears the choice.
    void SetItemIndex(int index);

private:
    void UpdateTabStop();

    QButtonGroup* FButtons;
    QList<QRadioButton*> FItems;
};

class TMainForm : public QMainWindow, public ScanWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The item of list that its view shows selected, as an index into the
    // list's items; -1 when none is selected (or the list is being filled).
    int SelectedItemIndex(const ResultList& list) const;
    // The list of the page that is showing: lvFiles on tsFiles, else lvDirs.
    ResultList& ActiveList();
    // The model and view of a list.
    ResultModel* ModelOf(const ResultList& list) const;
    QTreeView* ViewOf(const ResultList& list) const;

    // Starts the version check in the background (once). When its answer
    // announces an update, the new-version dialog shows modally over the
    // window as soon as no scan runs and no other box is open; when the dialog
    // ends the program (ContinueStartup 0), the window closes.
    void StartVersionCheck();

    // Sets every caption in the current language (the radio choice is kept,
    // the status line reads "Ready").
    void ApplyTranslation();
    // Fills the Language submenu (mmLanguage) once: one checkable item per
    // column of the catalogue, in column order, captioned with the language's
    // own name (never translated), carrying its column number as data; the
    // item of CurrentLanguageIndex is checked. An empty catalogue leaves the
    // submenu empty.
    void BuildLanguageMenu();

    // A scan that took longer than this (ms) and ends while the window is not
    // active is announced by a desktop notification.
    int NotifyAfterMs = 10000;

    // ---- controls (owned by the window)
    QWidget* PanelTop = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* lbFolders = nullptr;
    QPushButton* btnAddFolder = nullptr;
    QPushButton* btnRemoveFolder = nullptr;
    QCheckBox* chkFileDuplicates = nullptr;
    QCheckBox* chkDirDuplicates = nullptr;
    QCheckBox* chkFolderContents = nullptr; // folder clone groups split by content
    TRadioGroup* rgCompare = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edMasks = nullptr;
    QLabel* Label3 = nullptr;
    QSpinBox* seMinSizeMB = nullptr;
    QCheckBox* chkParallelHash = nullptr;
    QCheckBox* chkFollowLinks = nullptr; // "Follow folder links"
    QLabel* Label6 = nullptr;
    QLineEdit* edExclude = nullptr;
    QLabel* Label4 = nullptr;
    QSpinBox* seMaxGroups = nullptr;
    QLabel* Label5 = nullptr;
    QSpinBox* seMinGroupSize = nullptr;
    QToolButton* btnScan = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* tsFiles = nullptr;
    QWidget* tsDirs = nullptr;
    QTreeView* lvFilesView = nullptr; // objectName "lvFiles"
    QTreeView* lvDirsView = nullptr;  // objectName "lvDirs"

    QWidget* PanelBottom = nullptr;
    QPushButton* btnSelectAllButOne = nullptr;
    QPushButton* btnCheckAll = nullptr;
    QPushButton* btnUncheckAll = nullptr;
    QPushButton* btnCheckRules = nullptr; // opens mmCheckRules
    QPushButton* Button1 = nullptr;
    QPushButton* btnDeleteSelected = nullptr;
    QPushButton* btnExportFiles = nullptr;
    QPushButton* btnExportDirs = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* btnStop = nullptr;

    // ---- menus
    QMenu* File1 = nullptr;
    QMenu* Action1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* View1 = nullptr;
    QMenu* Help1 = nullptr;
    QMenu* Page1 = nullptr;
    QMenu* mmLanguage = nullptr;
    QMenu* mmCheckRules = nullptr; // in Edit1 and on btnCheckRules
    QAction* AddFolder1 = nullptr;
    QAction* ExportFileClones1 = nullptr;
    QAction* ExportFolderClones1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Scan1 = nullptr;
    QAction* Stop1 = nullptr;
    QAction* MoveCheckedtoRecycleBin1 = nullptr;
    QAction* Checkallbutoneingroup1 = nullptr;
    QAction* Checkall1 = nullptr;
    QAction* Uncheckall1 = nullptr;
    QAction* KeepNewest1 = nullptr;
    QAction* KeepOldest1 = nullptr;
    QAction* KeepShortestPath1 = nullptr;
    QAction* KeepLongestPath1 = nullptr;
    QAction* KeepInFolder1 = nullptr;
    QAction* FileClones1 = nullptr;
    QAction* FolderClones1 = nullptr;
    QAction* ShowSettingsPanel1 = nullptr;
    QAction* utorial1 = nullptr;
    QAction* ContactUs1 = nullptr;
    QAction* VisitWebsite1 = nullptr;
    QAction* About1 = nullptr;

public slots:
    // ---- scan commands (guarded versions of the engine's)
    void btnScanClick();
    void btnStopClick();
    void btnAddFolderClick();
    void btnRemoveFolderClick();

    // ---- window commands
    // Shows or hides the settings panel after its menu item's check mark was
    // toggled (QAction toggles it on trigger).
    void ShowSettingsPanel1Click();
    void PageControl1Change();
    void FileClones1Click();
    void FolderClones1Click();
    void Exit1Click();

    // ---- result commands; each refuses to run during a scan
    void btnSelectAllButOneClick();
    void btnCheckAllClick();
    void btnUncheckAllClick();
    // A rule of the Check menu (KeepRule) on the page showing; the folder
    // rule asks for its folder first, and a rule that found nothing to keep
    // in some groups says how many.
    void CheckRuleClick(int rule);
    void Button1Click();
    void btnDeleteSelectedClick();
    void btnExportFilesClick();
    void btnExportDirsClick();
    // ---- Help menu
    void utorial1Click();
    void ContactUs1Click();
    void VisitWebsite1Click();
    void Button2Click();

    // ---- Language menu
    // Switches to the clicked item's language: checks only that item, sets
    // CurrentLanguageIndex and CurrentLanguageCode, saves the choice, lays the
    // window out for the language's direction and re-captions it. Works
    // during a scan (the scan goes on). When the choice cannot be saved, the
    // switch still applies for this run and the general error handler says
    // why it was not saved.
    void LanguageMenuClick(QAction* sender);

protected:
    // ---- ScanWindow
    void ProcessPendingEvents() override;
    void ShowMessage(const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    int SelectedFolderIndex() const override;
    void StatusChanged() override;
    void ProgressChanged() override;
    void RunningChanged() override;
    void FoldersChanged() override;
    int CompareIndex() const override;
    bool FileDuplicatesChecked() const override;
    bool DirDuplicatesChecked() const override;
    QString MasksText() const override;
    int MinSizeMBValue() const override;
    bool ParallelHashChecked() const override;
    bool FollowFolderLinksChecked() const override;
    int MaxGroupsValue() const override;
    int MinGroupSizeValue() const override;
    QStringList ExcludePatterns() const override;
    bool FolderContentsChecked() const override;

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A drag of local folders (text/uri-list) is accepted unless a scan runs;
    // each dropped folder is added as Add folder adds a chosen one.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    // The settings of the panel, the window's size and the lists' columns,
    // kept between runs (the folder list is not). Restore ignores a value of
    // the wrong type or out of range; Save throws std::runtime_error when the
    // store cannot be written.
    void RestoreSettings();
    void SaveSettings();
    void CreateMenus();
    void CreateSettingsPanel();
    void CreatePages();
    void CreateBottomPanel();
    void SetupListViews();
    QTreeView* CreateResultView(ResultList& list, const char* name);
    void UpdateCommandStates();
    // Runs a command under the general error handler.
    template <class F>
    void Guarded(F&& command);
    // Same, for commands that change the folder list or the results: ignored
    // while a scan runs.
    template <class F>
    void GuardedResultCommand(F&& command);

    void ShowNewVersionWhenFree();
    // After a scan: the list of the page showing takes the focus, on its
    // first item row.
    void FocusFirstRow();
    // Makes the bottom panel as tall as its rows of commands need at width.
    void FitBottomPanel(int width);
    // After a scan: the closing status text and the note that explains the
    // result (ResultNote).
    void ShowResultNote();
    // Return or a double-click on a row: a file row is shown in the file
    // manager as by Open location.
    void ResultRowOpened(const QModelIndex& row);

    TBackgroundVersionCheck* FVersionCheck = nullptr;
    QScrollArea* FPanelScroll = nullptr; // holds PanelTop
    TFlowLayout* FButtonRows = nullptr;  // the commands of PanelBottom
    QActionGroup* FLanguageItems = nullptr;
    ResultModel* FFilesModel = nullptr;
    ResultModel* FDirsModel = nullptr;
    bool FCloseRequested = false;
    bool FScanRan = false; // a run started since the last Scan command began
    bool FCheckNoteShown = false; // the note has said what the check marks mean
    QSize FKeptSize;              // the window's size at the last close, if kept
    bool FBusyCursor = false;
};
