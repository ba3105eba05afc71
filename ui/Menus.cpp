// The menu bar of the main window (File, Action, Edit, View, Help) and the
// commands of the Help menu. The Language submenu and the captions of every
// menu and control are LanguageMenu.cpp's.

#include "ui/uMainForm.h"

#include "ui/MainFormParts.h"
#include "ui/ResultCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

using namespace mainform;

void TMainForm::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = MakeMenu(this, "File1");
    AddFolder1 = MakeAction(File1, "AddFolder1");
    File1->addSeparator();
    ExportFileClones1 = MakeAction(File1, "ExportFileClones1");
    ExportFolderClones1 = MakeAction(File1, "ExportFolderClones1");
    File1->addSeparator();
    Exit1 = MakeAction(File1, "Exit1");

    Action1 = MakeMenu(this, "Action1");
    Scan1 = MakeAction(Action1, "Scan1");
    Stop1 = MakeAction(Action1, "Stop1");
    Action1->addSeparator();
    MoveCheckedtoRecycleBin1 = MakeAction(Action1, "MoveCheckedtoRecycleBin1");

    Edit1 = MakeMenu(this, "Edit1");
    Checkallbutoneingroup1 = MakeAction(Edit1, "Checkallbutoneingroup1");
    Checkall1 = MakeAction(Edit1, "Checkall1");
    Uncheckall1 = MakeAction(Edit1, "Uncheckall1");
    Edit1->addSeparator();
    mmCheckRules = MakeMenu(this, "mmCheckRules");
    KeepNewest1 = MakeAction(mmCheckRules, "KeepNewest1");
    KeepOldest1 = MakeAction(mmCheckRules, "KeepOldest1");
    KeepShortestPath1 = MakeAction(mmCheckRules, "KeepShortestPath1");
    KeepLongestPath1 = MakeAction(mmCheckRules, "KeepLongestPath1");
    mmCheckRules->addSeparator();
    KeepInFolder1 = MakeAction(mmCheckRules, "KeepInFolder1");
    Edit1->addMenu(mmCheckRules);

    View1 = MakeMenu(this, "View1");
    Page1 = MakeMenu(View1, "Page1");
    FileClones1 = MakeAction(Page1, "FileClones1");
    FolderClones1 = MakeAction(Page1, "FolderClones1");
    FileClones1->setCheckable(true);
    FolderClones1->setCheckable(true);
    View1->addMenu(Page1);
    ShowSettingsPanel1 = MakeAction(View1, "ShowSettingsPanel1");
    ShowSettingsPanel1->setCheckable(true);
    View1->addSeparator();
    mmLanguage = MakeMenu(View1, "mmLanguage");
    View1->addMenu(mmLanguage);

    Help1 = MakeMenu(this, "Help1");
    utorial1 = MakeAction(Help1, "utorial1");
    Help1->addSeparator();
    ContactUs1 = MakeAction(Help1, "ContactUs1");
    VisitWebsite1 = MakeAction(Help1, "VisitWebsite1");
    Help1->addSeparator();
    About1 = MakeAction(Help1, "About1");

    for (QMenu* m : { File1, Action1, Edit1, View1, Help1 })
        bar->addMenu(m);

    connect(AddFolder1, &QAction::triggered, this, &TMainForm::btnAddFolderClick);
    connect(ExportFileClones1, &QAction::triggered, this, &TMainForm::btnExportFilesClick);
    connect(ExportFolderClones1, &QAction::triggered, this, &TMainForm::btnExportDirsClick);
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(Scan1, &QAction::triggered, this, &TMainForm::btnScanClick);
    connect(Stop1, &QAction::triggered, this, &TMainForm::btnStopClick);
    connect(MoveCheckedtoRecycleBin1, &QAction::triggered, this, &TMainForm::btnDeleteSelectedClick);
    connect(Checkallbutoneingroup1, &QAction::triggered, this, &TMainForm::btnSelectAllButOneClick);
    connect(Checkall1, &QAction::triggered, this, &TMainForm::btnCheckAllClick);
    connect(Uncheckall1, &QAction::triggered, this, &TMainForm::btnUncheckAllClick);
    const std::pair<QAction*, KeepRule> rules[] = { { KeepNewest1, KeepRule::Newest }, { KeepOldest1, KeepRule::Oldest },
        { KeepShortestPath1, KeepRule::ShortestPath }, { KeepLongestPath1, KeepRule::LongestPath },
        { KeepInFolder1, KeepRule::InFolder } };
    for (const auto& [action, rule] : rules)
        connect(action, &QAction::triggered, this, [this, r = int(rule)] { CheckRuleClick(r); });
    connect(FileClones1, &QAction::triggered, this, &TMainForm::FileClones1Click);
    connect(FolderClones1, &QAction::triggered, this, &TMainForm::FolderClones1Click);
    connect(ShowSettingsPanel1, &QAction::triggered, this, &TMainForm::ShowSettingsPanel1Click);
    connect(utorial1, &QAction::triggered, this, &TMainForm::utorial1Click);
    connect(ContactUs1, &QAction::triggered, this, &TMainForm::ContactUs1Click);
    connect(VisitWebsite1, &QAction::triggered, this, &TMainForm::VisitWebsite1Click);
    connect(About1, &QAction::triggered, this, &TMainForm::Button2Click);

    // The keys of the everyday commands, shown in the menus. Delete reaches
    // the trash only from a result list (the lists add the item to
    // themselves): in the folder list or an edit box it must never move
    // anything. Ctrl+E follows the page showing (PageControl1Change).
    AddFolder1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Scan1->setShortcut(QKeySequence(Qt::Key_F5));
    Stop1->setShortcut(QKeySequence(Qt::Key_Escape));
    MoveCheckedtoRecycleBin1->setShortcut(QKeySequence(Qt::Key_Delete));
    MoveCheckedtoRecycleBin1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    About1->setShortcut(QKeySequence(Qt::Key_F1));
    // F10 opens the first menu, as it does in the desktop's other windows.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    menuKey->setObjectName(QStringLiteral("MenuKey"));
    connect(menuKey, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(File1->menuAction()); });
}

// ---- Help menu

void TMainForm::utorial1Click()
{
    Guarded([this] { OpenTutorial(this); });
}

void TMainForm::ContactUs1Click()
{
    Guarded([this] { OpenContactUs(this); });
}

void TMainForm::VisitWebsite1Click()
{
    Guarded([this] { OpenWebsite(this); });
}

void TMainForm::Button2Click()
{
    Guarded([this] { ShowAbout(this); });
}
