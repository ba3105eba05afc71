// The settings panel (PanelTop): the folder list with its commands, what to
// look for, how to compare, the masks, the size and group limits, and Scan;
// the panel's switch in the View menu; and the reads through which the scan
// takes each setting at the moment it needs it.

#include "ui/uMainForm.h"

#include "engine/Exclusions.h"

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/FolderList.h"
#include "ui/MainFormParts.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QListWidget>
#include <QSignalBlocker>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>
#include <stdexcept>

using namespace mainform;

// ---- TRadioGroup

TRadioGroup::TRadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , FButtons(new QButtonGroup(this))
{
    FButtons->setExclusive(true);
    connect(FButtons, &QButtonGroup::idToggled, this, [this] { UpdateTabStop(); });
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
    UpdateTabStop();
}

void TRadioGroup::UpdateTabStop()
{
    // Tab enters the group at its chosen item, as a radio group does
    // everywhere; the arrow keys move between the items.
    const int chosen = ItemIndex();
    for (int i = 0; i < FItems.size(); ++i)
        FItems[i]->setFocusPolicy(chosen < 0 || i == chosen ? Qt::StrongFocus : Qt::ClickFocus);
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
    UpdateTabStop();
}

// ---- TMainForm: the panel

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
    lbFolders = new FolderList(PanelTop);
    lbFolders->setObjectName(QStringLiteral("lbFolders"));
    lbFolders->setSelectionMode(QAbstractItemView::SingleSelection);
    lbFolders->setMinimumSize(200, 60);
    // As tall as the controls beside it make the panel, no taller.
    lbFolders->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    Label1 = MakeLabel(PanelTop, "Label1", lbFolders);
    // Exclusions: below the list, as wide as it.
    edExclude = new QLineEdit(PanelTop);
    edExclude->setObjectName(QStringLiteral("edExclude"));
    edExclude->setPlaceholderText(QStringLiteral(".git; node_modules; *.tmp"));
    SetDesignSize(edExclude, 133, 21);
    Label6 = MakeLabel(PanelTop, "Label6", edExclude);
    auto* exclude = new QHBoxLayout;
    exclude->setSpacing(6);
    exclude->addWidget(Label6);
    exclude->addWidget(edExclude, 1);
    auto* folders = new QVBoxLayout;
    folders->setSpacing(3);
    folders->addWidget(Label1);
    folders->addWidget(lbFolders, 1);
    folders->addSpacing(3);
    folders->addLayout(exclude);
    row->addLayout(folders, 1);
    row->addSpacing(22);

    // Folder buttons and what to look for.
    btnAddFolder = MakeButton(PanelTop, "btnAddFolder", 135);
    btnRemoveFolder = MakeButton(PanelTop, "btnRemoveFolder", 135);
    chkFileDuplicates = MakeCheck(PanelTop, "chkFileDuplicates", 149);
    chkDirDuplicates = MakeCheck(PanelTop, "chkDirDuplicates", 149);
    chkFolderContents = MakeCheck(PanelTop, "chkFolderContents", 149);
    auto* what = new QVBoxLayout;
    what->setSpacing(0);
    what->addWidget(btnAddFolder);
    what->addSpacing(6);
    what->addWidget(btnRemoveFolder);
    what->addSpacing(11);
    what->addWidget(chkFileDuplicates);
    what->addSpacing(8);
    what->addWidget(chkDirDuplicates);
    what->addSpacing(8);
    what->addWidget(chkFolderContents);
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
    chkFollowLinks = MakeCheck(PanelTop, "chkFollowLinks", 138);
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
    fields->addWidget(chkFollowLinks, 8, 1);
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

    // A folder's check box marks it as a reference folder.
    connect(lbFolders, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = lbFolders->row(item);
        if (row < 0 || row >= Folders().size())
            return;
        const bool reference = item->checkState() == Qt::Checked;
        SetReferenceFolder(Folders()[row], reference);
        if (IsReferenceFolder(Folders()[row]) != reference) // refused during a scan
            FoldersChanged();
    });
    connect(btnAddFolder, &QPushButton::clicked, this, &TMainForm::btnAddFolderClick);
    connect(btnRemoveFolder, &QPushButton::clicked, this, &TMainForm::btnRemoveFolderClick);
    connect(btnScan, &QToolButton::clicked, this, &TMainForm::btnScanClick);
}

// ---- folder commands

void TMainForm::btnAddFolderClick()
{
    GuardedResultCommand([this] { ScanWindow::btnAddFolderClick(); });
}

void TMainForm::btnRemoveFolderClick()
{
    GuardedResultCommand([this] { ScanWindow::btnRemoveFolderClick(); });
}

void TMainForm::ShowSettingsPanel1Click()
{
    Guarded([this] {
        // The panel is the first row of the client area, so shown again it
        // is back at the very top, above the pages.
        PanelTop->setVisible(ShowSettingsPanel1->isChecked());
        FPanelScroll->setVisible(ShowSettingsPanel1->isChecked());
    });
}

// ---- folders dropped on the window

namespace {
QStringList DroppedFolders(const QMimeData* data)
{
    QStringList folders;
    if (!data || !data->hasUrls())
        return folders;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
            folders << url.toLocalFile();
    return folders;
}
} // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!IsRunning() && !DroppedFolders(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QStringList folders = DroppedFolders(event->mimeData());
    if (IsRunning() || folders.isEmpty())
        return;
    GuardedResultCommand([&] {
        for (const QString& folder : folders)
            AddFolder(folder);
    });
    event->acceptProposedAction();
}

// ---- kept settings

namespace {
const QString KMasks = QStringLiteral("Masks");
const QString KExclude = QStringLiteral("Exclude");
const QString KMinSizeMB = QStringLiteral("MinSizeMB");
const QString KCompare = QStringLiteral("Compare");
const QString KFileClones = QStringLiteral("FindFileClones");
const QString KFolderClones = QStringLiteral("FindFolderClones");
const QString KParallel = QStringLiteral("ParallelHashing");
const QString KFolderContents = QStringLiteral("CompareFolderContents");
const QString KFollowLinks = QStringLiteral("FollowFolderLinks");
const QString KMaxGroups = QStringLiteral("MaxGroups");
const QString KMinGroupSize = QStringLiteral("MinGroupSize");
const QString KSize = QStringLiteral("Size");
const QString KFileColumns = QStringLiteral("FileColumns");
const QString KDirColumns = QStringLiteral("DirColumns");

// value as a whole number within [min, max], if it is one.
std::optional<int> WholeIn(const QVariant& value, int min, int max)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!value.isValid() || !ok || n < min || n > max)
        return std::nullopt;
    return n;
}
} // namespace

void TMainForm::RestoreSettings()
{
    const QVariantMap kept = platform::ReadWindowSettings();
    if (kept.value(KMasks).typeId() == QMetaType::QString)
        edMasks->setText(kept.value(KMasks).toString());
    if (kept.value(KExclude).typeId() == QMetaType::QString)
        edExclude->setText(kept.value(KExclude).toString());
    const auto spin = [&](const QString& key, QSpinBox* box) {
        if (const auto n = WholeIn(kept.value(key), box->minimum(), box->maximum()))
            box->setValue(*n);
    };
    spin(KMinSizeMB, seMinSizeMB);
    spin(KMaxGroups, seMaxGroups);
    spin(KMinGroupSize, seMinGroupSize);
    if (const auto n = WholeIn(kept.value(KCompare), 0, rgCompare->ItemCount() - 1))
        rgCompare->SetItemIndex(*n);
    const auto check = [&](const QString& key, QCheckBox* box) {
        const QVariant v = kept.value(key);
        if (v.typeId() == QMetaType::Bool || v.typeId() == QMetaType::QString)
            box->setChecked(v.toBool());
    };
    check(KFileClones, chkFileDuplicates);
    check(KFolderClones, chkDirDuplicates);
    check(KParallel, chkParallelHash);
    check(KFolderContents, chkFolderContents);
    check(KFollowLinks, chkFollowLinks);
    FKeptSize = kept.value(KSize).toSize();
    lvFilesView->header()->restoreState(kept.value(KFileColumns).toByteArray());
    lvDirsView->header()->restoreState(kept.value(KDirColumns).toByteArray());
}

void TMainForm::SaveSettings()
{
    const QVariantMap values { { KMasks, edMasks->text() }, { KExclude, edExclude->text() }, { KMinSizeMB, seMinSizeMB->value() },
        { KCompare, rgCompare->ItemIndex() }, { KFileClones, chkFileDuplicates->isChecked() },
        { KFolderClones, chkDirDuplicates->isChecked() }, { KParallel, chkParallelHash->isChecked() },
        { KFolderContents, chkFolderContents->isChecked() },
        { KFollowLinks, chkFollowLinks->isChecked() },
        { KMaxGroups, seMaxGroups->value() }, { KMinGroupSize, seMinGroupSize->value() }, { KSize, size() },
        { KFileColumns, lvFilesView->header()->saveState() }, { KDirColumns, lvDirsView->header()->saveState() } };
    if (!platform::WriteWindowSettings(values))
        throw std::runtime_error(
            TrFill(QStringLiteral("Cannot save the settings to %s."), { platform::SettingsLocation() }).toStdString());
}

// ---- ScanWindow: the folder list and the settings

int TMainForm::SelectedFolderIndex() const
{
    // The keyboard's current item counts when nothing is selected: Tab into
    // the list makes an item current without selecting it.
    const QList<QListWidgetItem*> selected = lbFolders->selectedItems();
    if (!selected.isEmpty())
        return lbFolders->row(selected.first());
    return lbFolders->currentItem() ? lbFolders->currentRow() : -1;
}

void TMainForm::FoldersChanged()
{
    const QSignalBlocker quiet(lbFolders);
    lbFolders->clear();
    for (const QString& folder : Folders()) {
        auto* item = new QListWidgetItem(ui::IsolatedPath(folder), lbFolders);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(IsReferenceFolder(folder) ? Qt::Checked : Qt::Unchecked);
    }
}

int TMainForm::CompareIndex() const { return rgCompare->ItemIndex(); }
bool TMainForm::FileDuplicatesChecked() const { return chkFileDuplicates->isChecked(); }
bool TMainForm::DirDuplicatesChecked() const { return chkDirDuplicates->isChecked(); }
QString TMainForm::MasksText() const { return edMasks->text(); }
QStringList TMainForm::ExcludePatterns() const { return ParseExclusions(edExclude->text()); }
int TMainForm::MinSizeMBValue() const { return seMinSizeMB->value(); }
bool TMainForm::ParallelHashChecked() const { return chkParallelHash->isChecked(); }
bool TMainForm::FolderContentsChecked() const { return chkFolderContents->isChecked(); }
bool TMainForm::FollowFolderLinksChecked() const { return chkFollowLinks->isChecked(); }
int TMainForm::MaxGroupsValue() const { return seMaxGroups->value(); }
int TMainForm::MinGroupSizeValue() const { return seMinGroupSize->value(); }
