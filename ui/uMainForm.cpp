#include "ui/uMainForm.h"

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/ResultCommands.h"
#include "ui/ResultModel.h"
#include "ui/ResultView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstddef>

// Resources of a static library must be registered by name, outside any namespace.
static void InitResources() { Q_INIT_RESOURCE(twinlens); }

namespace {

// The client area the window opens with.
constexpr int ClientWidth = 1178;
constexpr int ClientHeight = 709;

const char* const DesignSizeProperty = "twinlensDesignSize";
// Room beside a button's caption beyond the style's minimum, so a long
// caption does not touch the frame.
constexpr int ButtonTextAir = 12;

// A control at least as large as designed, larger when its text needs it
// (FitToTexts).
void SetDesignSize(QWidget* w, int width, int height)
{
    w->setProperty(DesignSizeProperty, QSize(width, height));
    w->setMinimumSize(width, height);
    w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// Captions in other languages are often longer than the English ones the
// sizes were designed for: no control may cut its caption short, and no
// column its header.
void FitToTexts(QWidget* root, const QList<QTreeView*>& views)
{
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const QVariant design = w->property(DesignSizeProperty);
        if (!design.isValid())
            continue;
        QSize needed = w->sizeHint();
        if (qobject_cast<QPushButton*>(w))
            needed.rwidth() += ButtonTextAir;
        w->setMinimumSize(design.toSize().expandedTo(needed));
    }
    for (QTreeView* view : views) {
        QHeaderView* header = view->header();
        for (int i = 0; i < header->count(); ++i)
            header->resizeSection(i, qMax(header->sectionSize(i), header->sectionSizeHint(i)));
    }
}

QPushButton* MakeButton(QWidget* parent, const char* name, int width, int height = 25)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    SetDesignSize(b, width, height);
    return b;
}

QLabel* MakeLabel(QWidget* parent, const char* name, QWidget* buddy)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    // With a buddy, "&&" shows one "&" as on every other caption.
    l->setBuddy(buddy);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int min, int max)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setRange(min, max);
    SetDesignSize(s, 133, 22);
    return s;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, int width)
{
    auto* c = new QCheckBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    SetDesignSize(c, width, 17);
    return c;
}

QAction* MakeAction(QMenu* menu, const char* name)
{
    auto* a = menu->addAction(QString());
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QMenu* MakeMenu(QWidget* parent, const char* name)
{
    auto* m = new QMenu(parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
    return m;
}

// The columns of the two result lists, with their designed widths: captions
// in English, translated when the window is captioned.
struct ResultColumn {
    const char* Caption;
    int Width;
};
constexpr ResultColumn FileColumns[] = { { "Group", 60 }, { "File name", 300 }, { "Directory", 520 },
    { "File size (MB)", 100 } };
constexpr ResultColumn DirColumns[] = { { "Group", 60 }, { "Directory", 740 }, { "Size", 160 } };

template <std::size_t N>
QStringList TranslatedCaptions(const ResultColumn (&columns)[N])
{
    QStringList captions;
    for (const ResultColumn& c : columns)
        captions.append(Translate(QString::fromLatin1(c.Caption)));
    return captions;
}

// The choices of "Compare files by", in the order of their item index.
QStringList CompareChoices()
{
    return { Translate(QStringLiteral("Name")), Translate(QStringLiteral("Size")),
        Translate(QStringLiteral("Name && Size")), Translate(QStringLiteral("Content (SHA-1)")) };
}

} // namespace

// ---- TRadioGroup

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , FButtons(new QButtonGroup(this))
{
    FButtons->setExclusive(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->setSpacing(2);
}

void TRadioGroup::SetItems(const QStringList& items)
{
    if (FItems.isEmpty()) {
        for (int i = 0; i < items.size(); ++i) {
            auto* r = new QRadioButton(this);
            r->setObjectName(objectName() + QStringLiteral("Item") + QString::number(i));
            FButtons->addButton(r, i);
            layout()->addWidget(r);
            FItems.append(r);
        }
    }
    for (int i = 0; i < FItems.size() && i < items.size(); ++i)
        FItems[i]->setText(items[i]);
}

int TRadioGroup::ItemIndex() const { return FButtons->checkedId(); }

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < FItems.size()) {
        FItems[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; clearing needs it lifted.
    FButtons->setExclusive(false);
    for (QRadioButton* r : FItems)
        r->setChecked(false);
    FButtons->setExclusive(true);
}

// ---- TMainForm: creation

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    InitResources();
    setObjectName(QStringLiteral("MainForm"));
    CreateMenus();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MainFormClient"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateSettingsPanel();
    CreatePages();
    CreateBottomPanel();
    layout->addWidget(PanelTop);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(PanelBottom);
    setCentralWidget(central);
    FormCreate();

    // The designed client area below the menu bar, centred on the screen (and
    // never larger than the screen's working area).
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, ClientWidth, ClientHeight);
    const int menuHeight = menuBar()->sizeHint().height();
    QSize size(ClientWidth, ClientHeight + menuHeight);
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
    connect(FileClones1, &QAction::triggered, this, &TMainForm::FileClones1Click);
    connect(FolderClones1, &QAction::triggered, this, &TMainForm::FolderClones1Click);
    connect(ShowSettingsPanel1, &QAction::triggered, this, &TMainForm::ShowSettingsPanel1Click);
    connect(utorial1, &QAction::triggered, this, &TMainForm::utorial1Click);
    connect(ContactUs1, &QAction::triggered, this, &TMainForm::ContactUs1Click);
    connect(VisitWebsite1, &QAction::triggered, this, &TMainForm::VisitWebsite1Click);
    connect(About1, &QAction::triggered, this, &TMainForm::Button2Click);
}

void TMainForm::CreateSettingsPanel()
{
    PanelTop = new QWidget(this);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setMinimumHeight(130);
    PanelTop->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(PanelTop);
    row->setContentsMargins(8, 8, 16, 8);
    row->setSpacing(0);

    // Folder list: stretches with the window.
    lbFolders = new QListWidget(PanelTop);
    lbFolders->setObjectName(QStringLiteral("lbFolders"));
    lbFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    lbFolders->setMinimumSize(200, 60);
    // As tall as the controls beside it make the panel, no taller.
    lbFolders->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    Label1 = MakeLabel(PanelTop, "Label1", lbFolders);
    auto* folders = new QVBoxLayout;
    folders->setSpacing(3);
    folders->addWidget(Label1);
    folders->addWidget(lbFolders, 1);
    row->addLayout(folders, 1);
    row->addSpacing(22);

    // Folder buttons and what to look for.
    btnAddFolder = MakeButton(PanelTop, "btnAddFolder", 135);
    btnRemoveFolder = MakeButton(PanelTop, "btnRemoveFolder", 135);
    chkFileDuplicates = MakeCheck(PanelTop, "chkFileDuplicates", 149);
    chkDirDuplicates = MakeCheck(PanelTop, "chkDirDuplicates", 149);
    auto* what = new QVBoxLayout;
    what->setSpacing(0);
    what->addWidget(btnAddFolder);
    what->addSpacing(6);
    what->addWidget(btnRemoveFolder);
    what->addSpacing(11);
    what->addWidget(chkFileDuplicates);
    what->addSpacing(8);
    what->addWidget(chkDirDuplicates);
    what->addStretch(1);
    row->addLayout(what);
    row->addSpacing(21);

    rgCompare = new TRadioGroup(PanelTop);
    rgCompare->setObjectName(QStringLiteral("rgCompare"));
    rgCompare->SetItems(CompareChoices());
    rgCompare->setMinimumSize(137, 109);
    rgCompare->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* compare = new QVBoxLayout;
    compare->setContentsMargins(0, 0, 0, 0);
    compare->addWidget(rgCompare);
    compare->addStretch(1);
    row->addLayout(compare);
    row->addSpacing(17);

    // Masks, minimum size, parallel hashing.
    edMasks = new QLineEdit(PanelTop);
    edMasks->setObjectName(QStringLiteral("edMasks"));
    SetDesignSize(edMasks, 133, 21);
    seMinSizeMB = MakeSpin(PanelTop, "seMinSizeMB", 0, 1048576);
    chkParallelHash = MakeCheck(PanelTop, "chkParallelHash", 138);
    Label2 = MakeLabel(PanelTop, "Label2", edMasks);
    Label3 = MakeLabel(PanelTop, "Label3", seMinSizeMB);

    // Group limits.
    seMaxGroups = MakeSpin(PanelTop, "seMaxGroups", 0, 1000000);
    seMinGroupSize = MakeSpin(PanelTop, "seMinGroupSize", 2, 1000);
    Label4 = MakeLabel(PanelTop, "Label4", seMaxGroups);
    Label5 = MakeLabel(PanelTop, "Label5", seMinGroupSize);

    // One grid for both columns, so that their labels and boxes line up.
    auto* fields = new QGridLayout;
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setHorizontalSpacing(21);
    fields->setVerticalSpacing(0);
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(Label4, 0, 1);
    fields->setRowMinimumHeight(1, 3);
    fields->addWidget(edMasks, 2, 0);
    fields->addWidget(seMaxGroups, 2, 1);
    fields->setRowMinimumHeight(3, 9);
    fields->addWidget(Label3, 4, 0);
    fields->addWidget(Label5, 4, 1);
    fields->setRowMinimumHeight(5, 3);
    fields->addWidget(seMinSizeMB, 6, 0);
    fields->addWidget(seMinGroupSize, 6, 1);
    fields->setRowMinimumHeight(7, 6);
    fields->addWidget(chkParallelHash, 8, 0);
    fields->setRowStretch(9, 1);
    row->addLayout(fields);
    row->addSpacing(18);

    btnScan = new QToolButton(PanelTop);
    btnScan->setObjectName(QStringLiteral("btnScan"));
    btnScan->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btnScan->setIcon(QIcon(QStringLiteral(":/icons/qr-code-scan.png")));
    btnScan->setIconSize(QSize(42, 42));
    QFont scanFont = btnScan->font();
    // Designed at 10 points against the window's 8.
    scanFont.setPointSizeF(scanFont.pointSizeF() * 10.0 / 8.0);
    btnScan->setFont(scanFont);
    btnScan->setMinimumSize(84, 80);
    btnScan->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* scan = new QVBoxLayout;
    scan->addSpacing(6);
    scan->addWidget(btnScan);
    scan->addStretch(1);
    row->addLayout(scan);

    connect(btnAddFolder, &QPushButton::clicked, this, &TMainForm::btnAddFolderClick);
    connect(btnRemoveFolder, &QPushButton::clicked, this, &TMainForm::btnRemoveFolderClick);
    connect(btnScan, &QToolButton::clicked, this, &TMainForm::btnScanClick);
}

QTreeView* TMainForm::CreateResultView(ResultList& list, const char* name)
{
    auto* model = new ResultModel(list);
    model->setObjectName(QString::fromLatin1(name) + QStringLiteral("Model"));
    auto* view = new ResultView(model);
    model->setParent(view);
    view->setObjectName(QString::fromLatin1(name));
    return view;
}

void TMainForm::CreatePages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    lvFilesView = CreateResultView(lvFiles, "lvFiles");
    lvDirsView = CreateResultView(lvDirs, "lvDirs");
    FFilesModel = static_cast<ResultModel*>(lvFilesView->model());
    FDirsModel = static_cast<ResultModel*>(lvDirsView->model());

    auto makePage = [this](const char* name, QTreeView* view) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        auto* l = new QVBoxLayout(page);
        l->setContentsMargins(4, 4, 4, 4);
        l->addWidget(view);
        PageControl1->addTab(page, QString());
        return page;
    };
    tsFiles = makePage("tsFiles", lvFilesView);
    tsDirs = makePage("tsDirs", lvDirsView);

    connect(PageControl1, &QTabWidget::currentChanged, this, &TMainForm::PageControl1Change);
}

void TMainForm::CreateBottomPanel()
{
    PanelBottom = new QWidget(this);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(PanelBottom);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    btnSelectAllButOne = MakeButton(PanelBottom, "btnSelectAllButOne", 216);
    btnCheckAll = MakeButton(PanelBottom, "btnCheckAll", 108);
    btnUncheckAll = MakeButton(PanelBottom, "btnUncheckAll", 108);
    Button1 = MakeButton(PanelBottom, "Button1", 137);
    btnDeleteSelected = MakeButton(PanelBottom, "btnDeleteSelected", 238);
    btnExportFiles = MakeButton(PanelBottom, "btnExportFiles", 155);
    btnExportDirs = MakeButton(PanelBottom, "btnExportDirs", 155);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 9, 10, 6);
    buttons->setSpacing(7);
    for (QPushButton* b : { btnSelectAllButOne, btnCheckAll, btnUncheckAll, Button1, btnDeleteSelected })
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addSpacing(1);
    buttons->addWidget(btnExportFiles);
    buttons->addSpacing(1);
    buttons->addWidget(btnExportDirs);
    column->addLayout(buttons);

    // The status line: text, progress, Stop.
    Panel1 = new QWidget(PanelBottom);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    lblStatus = new QLabel(Panel1);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    // Status texts carry paths: shown as they are, never as markup.
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ProgressBar = new QProgressBar(Panel1);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setFixedWidth(236);
    ProgressBar->setMinimumHeight(21);
    btnStop = MakeButton(Panel1, "btnStop", 72, 21);
    auto* status = new QHBoxLayout(Panel1);
    status->setContentsMargins(10, 10, 10, 10);
    status->setSpacing(0);
    status->addWidget(lblStatus, 1);
    status->addSpacing(10);
    status->addWidget(ProgressBar);
    status->addSpacing(10);
    status->addWidget(btnStop);
    column->addWidget(Panel1);

    connect(btnSelectAllButOne, &QPushButton::clicked, this, &TMainForm::btnSelectAllButOneClick);
    connect(btnCheckAll, &QPushButton::clicked, this, &TMainForm::btnCheckAllClick);
    connect(btnUncheckAll, &QPushButton::clicked, this, &TMainForm::btnUncheckAllClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(btnDeleteSelected, &QPushButton::clicked, this, &TMainForm::btnDeleteSelectedClick);
    connect(btnExportFiles, &QPushButton::clicked, this, &TMainForm::btnExportFilesClick);
    connect(btnExportDirs, &QPushButton::clicked, this, &TMainForm::btnExportDirsClick);
    connect(btnStop, &QPushButton::clicked, this, &TMainForm::btnStopClick);
}

void TMainForm::FormCreate()
{
    // 1. Caption.
    setWindowTitle(ui::ApplicationTitle() + QLatin1Char(' ') + ProgramVersion());
    // 2, 3. FFiles, FFileMap and FStopRequested start empty and false in the
    // scan window base; FLastAddFolderParent starts empty.
    FStopRequested = false;
    FLastAddFolderParent.clear();
    // 4. Defaults.
    rgCompare->SetItemIndex(3);
    chkFileDuplicates->setChecked(true);
    chkDirDuplicates->setChecked(false);
    edMasks->setText(QStringLiteral("*.*"));
    seMinSizeMB->setValue(1);
    chkParallelHash->setChecked(true);
    seMaxGroups->setValue(100);
    seMinGroupSize->setValue(2);
    // 5.
    SetupListViews();
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

void TMainForm::SetupListViews()
{
    auto setup = [](ResultList& list, QTreeView* view, ResultModel* model, const auto& columns) {
        list.Columns.clear();
        list.ColumnWidths.clear();
        for (const ResultColumn& c : columns) {
            list.Columns.append(QString::fromLatin1(c.Caption));
            list.ColumnWidths.append(c.Width);
        }
        list.SetGroupView(true);
        model->ColumnsChanged();
        for (int i = 0; i < list.ColumnWidths.size(); ++i)
            view->header()->resizeSection(i, list.ColumnWidths[i]);
    };
    setup(lvFiles, lvFilesView, FFilesModel, FileColumns);
    setup(lvDirs, lvDirsView, FDirsModel, DirColumns);
}

void TMainForm::ApplyTranslation()
{
    File1->setTitle(Translate(QStringLiteral("File")));
    Action1->setTitle(Translate(QStringLiteral("Action")));
    Edit1->setTitle(Translate(QStringLiteral("Edit")));
    View1->setTitle(Translate(QStringLiteral("View")));
    Help1->setTitle(Translate(QStringLiteral("Help")));
    AddFolder1->setText(Translate(QStringLiteral("Add Folder...")));
    ExportFileClones1->setText(Translate(QStringLiteral("Export File Clones...")));
    ExportFolderClones1->setText(Translate(QStringLiteral("Export Folder Clones...")));
    Exit1->setText(Translate(QStringLiteral("Exit")));
    Scan1->setText(Translate(QStringLiteral("Scan")));
    Stop1->setText(Translate(QStringLiteral("Stop")));
    MoveCheckedtoRecycleBin1->setText(Translate(QStringLiteral("Remove Checked")));
    Checkallbutoneingroup1->setText(Translate(QStringLiteral("Check all but one in group")));
    Checkall1->setText(Translate(QStringLiteral("Check All")));
    Uncheckall1->setText(Translate(QStringLiteral("Uncheck All")));
    Page1->setTitle(Translate(QStringLiteral("Page")));
    FileClones1->setText(Translate(QStringLiteral("File Clones")));
    FolderClones1->setText(Translate(QStringLiteral("Folder Clones")));
    ShowSettingsPanel1->setText(Translate(QStringLiteral("Show Settings Panel")));
    mmLanguage->setTitle(Translate(QStringLiteral("Language")));
    utorial1->setText(Translate(QStringLiteral("Tutorial")));
    ContactUs1->setText(Translate(QStringLiteral("Contact Us")));
    VisitWebsite1->setText(Translate(QStringLiteral("Visit Website")));
    About1->setText(Translate(QStringLiteral("About...")));

    Label1->setText(Translate(QStringLiteral("Folders to scan:")));
    btnAddFolder->setText(Translate(QStringLiteral("Add folder...")));
    btnRemoveFolder->setText(Translate(QStringLiteral("Remove Selected")));
    chkFileDuplicates->setText(Translate(QStringLiteral("Find file clones")));
    chkDirDuplicates->setText(Translate(QStringLiteral("Find folder clones")));
    rgCompare->setTitle(Translate(QStringLiteral("Compare files by")));
    const int chosen = rgCompare->ItemIndex();
    rgCompare->SetItems(CompareChoices());
    rgCompare->SetItemIndex(chosen);
    Label2->setText(Translate(QStringLiteral("File masks (CSV):")));
    Label3->setText(Translate(QStringLiteral("Min size (MB):")));
    chkParallelHash->setText(Translate(QStringLiteral("Parallel hashing")));
    Label4->setText(Translate(QStringLiteral("Max groups (0 = all):")));
    Label5->setText(Translate(QStringLiteral("Min group size:")));
    btnScan->setText(Translate(QStringLiteral("Scan")));
    PageControl1->setTabText(PageControl1->indexOf(tsFiles), Translate(QStringLiteral("File Clones")));
    PageControl1->setTabText(PageControl1->indexOf(tsDirs), Translate(QStringLiteral("Folder Clones")));
    btnSelectAllButOne->setText(Translate(QStringLiteral("Check all but one in group")));
    btnCheckAll->setText(Translate(QStringLiteral("Check all")));
    btnUncheckAll->setText(Translate(QStringLiteral("Uncheck all")));
    Button1->setText(Translate(QStringLiteral("Open location")));
    btnDeleteSelected->setText(Translate(QStringLiteral("Delete checked to Recycle Bin")));
    btnExportFiles->setText(Translate(QStringLiteral("Export File Clones...")));
    btnExportDirs->setText(Translate(QStringLiteral("Export Folder Clones...")));
    btnStop->setText(Translate(QStringLiteral("Stop")));
    lblStatus->setText(Translate(QStringLiteral("Ready")));

    lvFiles.Columns = TranslatedCaptions(FileColumns);
    lvDirs.Columns = TranslatedCaptions(DirColumns);
    FFilesModel->ColumnsChanged();
    FDirsModel->ColumnsChanged();
    FitToTexts(this, { lvFilesView, lvDirsView });
}

// ---- result list access

ResultModel* TMainForm::ModelOf(const ResultList& list) const
{
    if (&list == &lvFiles)
        return FFilesModel;
    if (&list == &lvDirs)
        return FDirsModel;
    return nullptr;
}

QTreeView* TMainForm::ViewOf(const ResultList& list) const
{
    if (&list == &lvFiles)
        return lvFilesView;
    if (&list == &lvDirs)
        return lvDirsView;
    return nullptr;
}

int TMainForm::SelectedItemIndex(const ResultList& list) const
{
    QTreeView* view = ViewOf(list);
    ResultModel* model = ModelOf(list);
    if (!view || !model || !view->selectionModel())
        return -1;
    const QModelIndexList rows = view->selectionModel()->selectedRows(0);
    return rows.isEmpty() ? -1 : model->ItemIndex(rows.first());
}

ResultList& TMainForm::ActiveList() { return PageControl1->currentWidget() == tsFiles ? lvFiles : lvDirs; }

// ---- guards

template <class F>
void TMainForm::Guarded(F&& command)
{
    ui::RunGuarded(this, std::forward<F>(command));
}

template <class F>
void TMainForm::GuardedResultCommand(F&& command)
{
    // Pumps of a running scan deliver every click; the results and the folder
    // list belong to the scan until it has returned.
    if (IsRunning())
        return;
    Guarded(std::forward<F>(command));
}

// ---- scan commands

void TMainForm::btnScanClick()
{
    Guarded([this] { ScanWindow::btnScanClick(); });
    if (FCloseRequested && !IsRunning()) {
        FCloseRequested = false;
        close();
    }
}

void TMainForm::btnStopClick()
{
    Guarded([this] { ScanWindow::btnStopClick(); });
}

void TMainForm::btnAddFolderClick()
{
    GuardedResultCommand([this] { ScanWindow::btnAddFolderClick(); });
}

void TMainForm::btnRemoveFolderClick()
{
    GuardedResultCommand([this] { ScanWindow::btnRemoveFolderClick(); });
}

// ---- window commands

void TMainForm::ShowSettingsPanel1Click()
{
    Guarded([this] {
        // The panel is the first row of the client area, so shown again it
        // is back at the very top, above the pages.
        PanelTop->setVisible(ShowSettingsPanel1->isChecked());
    });
}

void TMainForm::PageControl1Change()
{
    FileClones1->setChecked(false);
    FolderClones1->setChecked(false);
    if (PageControl1->currentWidget() == tsFiles)
        FileClones1->setChecked(true);
    else if (PageControl1->currentWidget() == tsDirs)
        FolderClones1->setChecked(true);
}

void TMainForm::FileClones1Click()
{
    PageControl1->setCurrentWidget(tsFiles);
    PageControl1Change();
}

void TMainForm::FolderClones1Click()
{
    PageControl1->setCurrentWidget(tsDirs);
    PageControl1Change();
}

void TMainForm::Exit1Click() { close(); }

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
    QMainWindow::closeEvent(event);
}

// ---- result commands

namespace {
// The rows a list holds: the file list's carry their records, the folder
// list's their path.
ResultPage PageOf(const TMainForm& form, const ResultList& list)
{
    return &list == &form.lvFiles ? ResultPage::Files : ResultPage::Dirs;
}
} // namespace

void TMainForm::btnSelectAllButOneClick()
{
    GuardedResultCommand([this] { CheckAllButOneInGroup(ActiveList()); });
}

void TMainForm::btnCheckAllClick()
{
    GuardedResultCommand([this] { CheckAll(ActiveList()); });
}

void TMainForm::btnUncheckAllClick()
{
    GuardedResultCommand([this] { UncheckAll(ActiveList()); });
}

void TMainForm::Button1Click()
{
    GuardedResultCommand([this] {
        const ResultList& list = ActiveList();
        OpenLocation(this, list, PageOf(*this, list), SelectedItemIndex(list));
    });
}

void TMainForm::btnDeleteSelectedClick()
{
    GuardedResultCommand([this] {
        ResultList& list = ActiveList();
        DeleteCheckedToRecycleBin(this, list, PageOf(*this, list));
    });
}

void TMainForm::btnExportFilesClick()
{
    GuardedResultCommand([this] { ExportWithDialog(this, lvFiles, DefaultFileClonesCsvName()); });
}

void TMainForm::btnExportDirsClick()
{
    GuardedResultCommand([this] { ExportWithDialog(this, lvDirs, DefaultFolderClonesCsvName()); });
}

void TMainForm::utorial1Click()
{
    Guarded([] { OpenTutorial(); });
}

void TMainForm::ContactUs1Click()
{
    Guarded([] { OpenContactUs(); });
}

void TMainForm::VisitWebsite1Click()
{
    Guarded([] { OpenWebsite(); });
}

void TMainForm::Button2Click()
{
    Guarded([this] { ShowAbout(this); });
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

int TMainForm::SelectedFolderIndex() const
{
    const QList<QListWidgetItem*> selected = lbFolders->selectedItems();
    return selected.isEmpty() ? -1 : lbFolders->row(selected.first());
}

void TMainForm::StatusChanged() { lblStatus->setText(StatusText()); }

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
             btnCheckAll, btnUncheckAll, Button1, btnDeleteSelected, btnExportFiles, btnExportDirs })
        w->setEnabled(!running);
    for (QAction* a : { Scan1, AddFolder1, ExportFileClones1, ExportFolderClones1, MoveCheckedtoRecycleBin1,
             Checkallbutoneingroup1, Checkall1, Uncheckall1 })
        a->setEnabled(!running);
}

void TMainForm::FoldersChanged()
{
    lbFolders->clear();
    lbFolders->addItems(Folders());
}

int TMainForm::CompareIndex() const { return rgCompare->ItemIndex(); }
bool TMainForm::FileDuplicatesChecked() const { return chkFileDuplicates->isChecked(); }
bool TMainForm::DirDuplicatesChecked() const { return chkDirDuplicates->isChecked(); }
QString TMainForm::MasksText() const { return edMasks->text(); }
int TMainForm::MinSizeMBValue() const { return seMinSizeMB->value(); }
bool TMainForm::ParallelHashChecked() const { return chkParallelHash->isChecked(); }
int TMainForm::MaxGroupsValue() const { return seMaxGroups->value(); }
int TMainForm::MinGroupSizeValue() const { return seMinGroupSize->value(); }
