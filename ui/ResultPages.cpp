// The two result pages (PageControl1 with lvFiles and lvDirs), the bottom
// panel with the result commands and the status line, the page switch, and
// the result commands themselves, which act on the page that is showing (the
// work is in ResultCommands).

#include "ui/uMainForm.h"

#include "platform/desktop/Desktop.h"
#include "ui/FlowLayout.h"
#include "ui/MainFormParts.h"
#include "ui/ResultCommands.h"
#include "ui/ResultModel.h"
#include "ui/ResultNote.h"
#include "ui/ResultView.h"
#include "ui/StatusLine.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

using namespace mainform;

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

    // Delete in a list moves its checked rows to the trash (Menus.cpp);
    // Return or a double-click on a file row shows the file.
    for (QTreeView* view : { lvFilesView, lvDirsView }) {
        view->addAction(MoveCheckedtoRecycleBin1);
        connect(static_cast<ResultView*>(view), &ResultView::RowOpened, this, &TMainForm::ResultRowOpened);
    }

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
    btnCheckRules = MakeButton(PanelBottom, "btnCheckRules", 108);
    btnCheckRules->setMenu(mmCheckRules);
    Button1 = MakeButton(PanelBottom, "Button1", 137);
    btnDeleteSelected = MakeButton(PanelBottom, "btnDeleteSelected", 238);
    btnExportFiles = MakeButton(PanelBottom, "btnExportFiles", 155);
    btnExportDirs = MakeButton(PanelBottom, "btnExportDirs", 155);
    // One row on a wide window, the exports at its far end; on a narrow one
    // the row wraps, so that no command leaves the screen.
    auto* buttons = FButtonRows = new TFlowLayout(nullptr, 7);
    buttons->setContentsMargins(8, 9, 10, 6);
    for (QPushButton* b : { btnSelectAllButOne, btnCheckAll, btnUncheckAll, btnCheckRules, Button1, btnDeleteSelected })
        buttons->AddWidget(b);
    buttons->AddWidget(btnExportFiles, true);
    buttons->AddWidget(btnExportDirs, true);
    column->addLayout(buttons);

    // The status line: text, progress, Stop.
    Panel1 = new QWidget(PanelBottom);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // Status texts carry paths: shown as they are, never as markup, and cut
    // short with "…" when the note is longer than the line.
    lblStatus = new StatusLine(Panel1);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
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

void TMainForm::FitBottomPanel(int width)
{
    // The wrapped rows of commands and the status line below them.
    PanelBottom->setFixedHeight(FButtonRows->heightForWidth(width) + Panel1->sizeHint().height());
}

void TMainForm::FocusFirstRow()
{
    QTreeView* view = ViewOf(ActiveList());
    ResultModel* model = ModelOf(ActiveList());
    view->setFocus(Qt::OtherFocusReason);
    for (int i = 0; i < ActiveList().ItemCount(); ++i) {
        const QModelIndex row = model->IndexOfItem(i);
        if (row.isValid()) {
            view->setCurrentIndex(row);
            view->scrollTo(row);
            return;
        }
    }
}

void TMainForm::ShowResultNote()
{
    TResultCounts counts;
    counts.Files = qint64(FFiles.size());
    counts.FileClones = FileDuplicatesChecked();
    counts.FileGroupsListed = lvFiles.GroupCount();
    counts.FileGroupsFound = FileGroupsFound();
    for (const ResultItem& item : lvFiles.Items()) {
        if (item.Checked && item.Data && item.Data->Size > 0)
            counts.CopyBytes += item.Data->Size;
        counts.ReferenceRows = counts.ReferenceRows || item.Reference;
    }
    counts.FolderClones = DirDuplicatesChecked();
    counts.FolderGroupsListed = lvDirs.GroupCount();
    counts.FolderContents = FolderContentsChecked();
    counts.MaxGroups = MaxGroupsValue();
    counts.MinSizeMB = MinSizeMBValue();
    counts.FirstNote = !FCheckNoteShown;
    if (counts.FileClones && counts.FileGroupsListed > 0)
        FCheckNoteShown = true;
    QString note = ResultNote(counts);
    // Nothing is passed over in silence: what could not be read or was left
    // out follows, and the status line's tooltip names the first paths.
    const QStringList skipped = FSkips.Notes();
    if (!skipped.isEmpty())
        note += QStringLiteral("; ") + skipped.join(QStringLiteral("; "));
    lblStatus->setText(StatusText() + QStringLiteral("  ") + note);
    lblStatus->setToolTip(FSkips.Empty()
            ? QString()
            : FSkips.Lines([](const QByteArray& p) { return ui::IsolatedPath(QString::fromUtf8(p)); }).join(u'\n'));
}

void TMainForm::ResultRowOpened(const QModelIndex& row)
{
    // Only a file row: a folder row's open is its own command (Open
    // location), and a group header has nothing to show.
    if (PageControl1->currentWidget() != tsFiles || row.model() != FFilesModel || FFilesModel->ItemIndex(row) < 0)
        return;
    lvFilesView->selectionModel()->setCurrentIndex(
        row.siblingAtColumn(0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Button1Click();
}

// ---- page switching

void TMainForm::PageControl1Change()
{
    UpdateCommandStates();
    FileClones1->setChecked(false);
    FolderClones1->setChecked(false);
    if (PageControl1->currentWidget() == tsFiles)
        FileClones1->setChecked(true);
    else if (PageControl1->currentWidget() == tsDirs)
        FolderClones1->setChecked(true);
    // Ctrl+E exports the page showing: the key sits on that page's item.
    const QKeySequence exportKey(Qt::CTRL | Qt::Key_E);
    ExportFileClones1->setShortcut(PageControl1->currentWidget() == tsFiles ? exportKey : QKeySequence());
    ExportFolderClones1->setShortcut(PageControl1->currentWidget() == tsDirs ? exportKey : QKeySequence());
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

void TMainForm::CheckRuleClick(int rule)
{
    GuardedResultCommand([this, rule] {
        ResultList& list = ActiveList();
        const ResultPage page = PageOf(*this, list);
        QString folder;
        if (KeepRule(rule) == KeepRule::InFolder) {
            folder = platform::CurrentDesktop().ChooseFolder(
                this, Translate(QStringLiteral("Keep the copies in this folder")), FLastAddFolderParent);
            if (folder.isEmpty())
                return;
            folder = NormalizeFolder(folder);
        }
        const int without = CheckAllButKept(list, page, KeepRule(rule), folder);
        if (KeepRule(rule) == KeepRule::InFolder && without > 0)
            platform::CurrentDesktop().ShowMessage(this, platform::BoxKind::Plain, ui::ApplicationTitle(),
                TrFill(QStringLiteral("%d groups have no copy in %s; nothing is checked in them."),
                    { without, ui::IsolatedPath(folder) }));
    });
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
    // The comparison before a folder goes shows its progress in the status
    // line; the scan's closing text and note come back after it.
    const QString shown = lblStatus->text();
    GuardedResultCommand([this] {
        ResultList& list = ActiveList();
        DeleteCheckedToRecycleBin(this, list, PageOf(*this, list), ReferenceFolders(), ScannedFolders(), this);
    });
    if (!IsRunning())
        lblStatus->setText(shown);
    // Closing during the comparison before the move waited for it to end.
    if (FCloseRequested && !IsRunning()) {
        FCloseRequested = false;
        close();
    }
}

void TMainForm::btnExportFilesClick()
{
    GuardedResultCommand([this] { ExportWithDialog(this, lvFiles, DefaultFileClonesCsvName()); });
}

void TMainForm::btnExportDirsClick()
{
    GuardedResultCommand([this] { ExportWithDialog(this, lvDirs, DefaultFolderClonesCsvName()); });
}
