// TMainForm's creation, destruction and closing, the scan commands and the
// hooks through which the scan steps reach the window (status line, progress,
// running state, message pump). The other concerns of the window live beside
// it: SettingsPanel.cpp, ResultPages.cpp, Menus.cpp, LanguageMenu.cpp.

#include "ui/uMainForm.h"

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/MainFormParts.h"
#include "ui/ResultModel.h"
#if TWINLENS_UPDATE_CHECK
#include "update/BackgroundVersionCheck.h"
#include "update/uNewVersionCheck.h"
#endif

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QResizeEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

// Resources of a static library must be registered by name, outside any namespace.
static void InitResources() { Q_INIT_RESOURCE(twinlens); }

namespace {

// The client area the window opens with.
constexpr int ClientWidth = 1178;
constexpr int ClientHeight = 709;

// How often an announced update looks again whether the window is free for
// its dialog.
constexpr int NewVersionRetryMs = 250;

} // namespace

using namespace mainform;

// ---- TMainForm: creation

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    InitResources();
    setObjectName(QStringLiteral("MainForm"));
    // Folders dropped from a file manager are added as Add folder adds them.
    setAcceptDrops(true);
    CreateMenus();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainFormClient"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateSettingsPanel();
    CreatePages();
    CreateBottomPanel();
    // On a narrow screen the settings panel scrolls sideways rather than
    // pushing the window wider than the screen.
    FPanelScroll = new QScrollArea(central);
    FPanelScroll->setObjectName(QStringLiteral("PanelTopScroll"));
    FPanelScroll->setFrameShape(QFrame::NoFrame);
    FPanelScroll->setWidgetResizable(true);
    FPanelScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FPanelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FPanelScroll->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    FPanelScroll->setWidget(PanelTop);
    const auto fitHeight = [this] {
        const QScrollBar* bar = FPanelScroll->horizontalScrollBar();
        FPanelScroll->setFixedHeight(PanelTop->minimumSizeHint().height() + (bar->maximum() > 0 ? bar->sizeHint().height() : 0));
    };
    connect(FPanelScroll->horizontalScrollBar(), &QScrollBar::rangeChanged, this, fitHeight);
    fitHeight();
    layout->addWidget(FPanelScroll);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(PanelBottom);
    setCentralWidget(central);
    FormCreate();

    // The designed client area below the menu bar, centred on the screen (and
    // never larger than the screen's working area).
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, ClientWidth, ClientHeight);
    const int menuHeight = menuBar()->sizeHint().height();
    QSize size = FKeptSize.isValid() ? FKeptSize : QSize(ClientWidth, ClientHeight + menuHeight);
    size = size.expandedTo(minimumSizeHint()).boundedTo(area.size());
    resize(size);
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

TMainForm::~TMainForm()
{
    if (FBusyCursor)
        QApplication::restoreOverrideCursor();
    // The lists live in the scan window base, which is destroyed before the
    // window's children: the models that observe them must go first.
    delete FFilesModel;
    FFilesModel = nullptr;
    delete FDirsModel;
    FDirsModel = nullptr;
}

void TMainForm::FormCreate()
{
    // 1. Caption.
    setWindowTitle(ui::ApplicationTitle() + QLatin1Char(' ') + ui::ProgramVersion());
    // 2, 3. FFiles, FFileMap and FStopRequested start empty and false in the
    // scan window base; FLastAddFolderParent starts empty.
    FStopRequested = false;
    FLastAddFolderParent.clear();
    // 4. Defaults.
    rgCompare->SetItemIndex(3);
    chkFileDuplicates->setChecked(true);
    chkDirDuplicates->setChecked(false);
    chkFolderContents->setChecked(false);
    edMasks->setText(QStringLiteral("*.*"));
    seMinSizeMB->setValue(1);
    chkParallelHash->setChecked(true);
    chkFollowLinks->setChecked(true);
    seMaxGroups->setValue(100);
    seMinGroupSize->setValue(2);
    // 5.
    SetupListViews();
    // What the person set last time, over the defaults and designed widths.
    RestoreSettings();
    // 6. Stop is only for a running scan.
    UpdateCommandStates();
    PageControl1->setCurrentWidget(tsFiles);
    PageControl1Change();
    ShowSettingsPanel1->setChecked(true);
    // 7, 8.
    ApplyLanguageLayout();
    BuildLanguageMenu();
    ApplyTranslation();
}

// ---- the version check of start-up

void TMainForm::StartVersionCheck()
{
#if TWINLENS_UPDATE_CHECK
    if (FVersionCheck)
        return;
    FVersionCheck = new TBackgroundVersionCheck(this);
    connect(FVersionCheck, &TBackgroundVersionCheck::Finished, this, [this](bool announce) {
        if (announce)
            ShowNewVersionWhenFree();
    });
    FVersionCheck->Start();
#endif
}

void TMainForm::ShowNewVersionWhenFree()
{
#if TWINLENS_UPDATE_CHECK
    // A running scan holds its state on this thread's stack, and an open box
    // waits for its answer: the dialog must not nest inside either.
    if (IsRunning() || QApplication::activeModalWidget()) {
        QTimer::singleShot(NewVersionRetryMs, this, &TMainForm::ShowNewVersionWhenFree);
        return;
    }
    int continueStartup = 1;
    {
        TfrmNewVersion frmNewVersion(this);
        frmNewVersion.exec();
        continueStartup = frmNewVersion.ContinueStartup();
    }
    if (continueStartup == 0)
        close();
#endif
}

// ---- scan commands

void TMainForm::btnScanClick()
{
    const bool nested = IsRunning();
    // A person who unchecked both kinds of clone is told what to check
    // instead of waiting for a scan that looks for nothing.
    if (!nested && !FFolders.isEmpty() && !FileDuplicatesChecked() && !DirDuplicatesChecked()) {
        ShowMessage(Translate(
            QStringLiteral("Nothing to look for: check \"Find file clones\" or \"Find folder clones\".")));
        return;
    }
    if (!nested)
        FScanRan = false;
    QElapsedTimer took;
    took.start();
    Guarded([this] { ScanWindow::btnScanClick(); });
    if (FCloseRequested && !IsRunning()) {
        FCloseRequested = false;
        close();
        return;
    }
    // The results are what a person goes on with (Space, Delete, Return).
    if (!nested && FScanRan && !IsRunning()) {
        ShowResultNote();
        FocusFirstRow();
        // A long scan that ends while the person works elsewhere says so.
        if (took.elapsed() > NotifyAfterMs && !isActiveWindow())
            platform::CurrentDesktop().Notify(Translate(QStringLiteral("Scan finished")), lblStatus->text());
    }
}

void TMainForm::btnStopClick()
{
    Guarded([this] { ScanWindow::btnStopClick(); });
}

// ---- closing

void TMainForm::Exit1Click() { close(); }

void TMainForm::resizeEvent(QResizeEvent* event)
{
    FitBottomPanel(event->size().width());
    QMainWindow::resizeEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (IsRunning()) {
        // The running step holds the scan state on this thread's stack: stop
        // it, and close once the Scan command has returned.
        ScanWindow::btnStopClick();
        FCloseRequested = true;
        event->ignore();
        return;
    }
    // A failure to keep the settings is said, and the window closes anyway.
    Guarded([this] { SaveSettings(); });
    QMainWindow::closeEvent(event);
}

// ---- ScanWindow

void TMainForm::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void TMainForm::ShowMessage(const QString& text)
{
    platform::CurrentDesktop().ShowMessage(this, platform::BoxKind::Plain, ui::ApplicationTitle(), text);
}

QString TMainForm::ChooseFolder(const QString& title, const QString& startFolder)
{
    return platform::CurrentDesktop().ChooseFolder(this, title, startFolder);
}

void TMainForm::StatusChanged() { lblStatus->setText(ui::IsolatedPaths(StatusText())); }

void TMainForm::ProgressChanged()
{
    // A range of 0..0 is the progress bar's marquee.
    if (ProgressMarquee())
        ProgressBar->setRange(0, 0);
    else
        ProgressBar->setRange(ProgressMin(), qMax(ProgressMin(), ProgressMax()));
    ProgressBar->setValue(ProgressPosition());
}

void TMainForm::RunningChanged()
{
    if (IsRunning())
        FScanRan = true;
    UpdateCommandStates();
    if (IsRunning() && !FBusyCursor) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        FBusyCursor = true;
    } else if (!IsRunning() && FBusyCursor) {
        QApplication::restoreOverrideCursor();
        FBusyCursor = false;
    }
}

void TMainForm::UpdateCommandStates()
{
    const bool running = IsRunning();
    btnStop->setEnabled(running);
    Stop1->setEnabled(running);
    for (QWidget* w : std::initializer_list<QWidget*> { btnScan, btnAddFolder, btnRemoveFolder, btnSelectAllButOne,
             btnCheckAll, btnUncheckAll, btnCheckRules, Button1, btnDeleteSelected, btnExportFiles, btnExportDirs })
        w->setEnabled(!running);
    for (QAction* a : { Scan1, AddFolder1, ExportFileClones1, ExportFolderClones1, MoveCheckedtoRecycleBin1,
             Checkallbutoneingroup1, Checkall1, Uncheckall1, KeepShortestPath1, KeepLongestPath1, KeepInFolder1 })
        a->setEnabled(!running);
    // Folder rows carry no times.
    const bool timed = !running && PageControl1->currentWidget() == tsFiles;
    KeepNewest1->setEnabled(timed);
    KeepOldest1->setEnabled(timed);
}
