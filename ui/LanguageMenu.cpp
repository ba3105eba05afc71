// The Language submenu of the main window, the saved language choice, the
// layout direction of the language, and the caption refresh (ApplyTranslation)
// that sets every fixed text of the window in the current language.

#include "ui/uMainForm.h"

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MainFormParts.h"
#include "ui/ResultModel.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeView>
#include <QToolButton>

#include <exception>
#include <stdexcept>

using namespace mainform;

void SaveLanguageChoice()
{
    if (!platform::WriteSavedLanguage(CurrentLanguageCode))
        throw std::runtime_error(
            TrFill(QStringLiteral("Cannot save the language choice to %s."), { platform::SettingsLocation() })
                .toStdString());
}

void ApplyLanguageLayout()
{
    QGuiApplication::setLayoutDirection(CurrentLanguageIsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

void TMainForm::BuildLanguageMenu()
{
    // Made once with the window; the catalogue does not change while the
    // program runs.
    if (FLanguageItems)
        return;
    FLanguageItems = new QActionGroup(this);
    FLanguageItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = 0; i < TranslationTable.size(); ++i) {
        // A language's own name, as it is: an "&" in it is no mnemonic.
        QString name = TranslationTable[i].value(0);
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* item = new QAction(name, mmLanguage);
        item->setObjectName(QStringLiteral("mmLanguageItem%1").arg(i));
        item->setCheckable(true);
        item->setData(i);
        item->setChecked(i == CurrentLanguageIndex);
        FLanguageItems->addAction(item);
        mmLanguage->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { LanguageMenuClick(item); });
    }
}

void TMainForm::LanguageMenuClick(QAction* sender)
{
    ui::RunGuarded(this, [&] {
        if (!sender || !FLanguageItems || !FLanguageItems->actions().contains(sender))
            return;
        const int index = sender->data().toInt();
        if (index < 0 || index >= TranslationTable.size())
            return;
        for (QAction* item : FLanguageItems->actions())
            item->setChecked(item == sender);
        CurrentLanguageIndex = index;
        CurrentLanguageCode = TranslationTable[index].value(1);

        // A choice that cannot be saved still applies to this run: the window
        // is re-captioned first, then the failure is reported.
        std::exception_ptr saveError;
        try {
            SaveLanguageChoice();
        } catch (...) {
            saveError = std::current_exception();
        }
        ApplyLanguageLayout();
        ApplyTranslation();
        if (saveError)
            std::rethrow_exception(saveError);
    });
}

// ---- caption refresh

void TMainForm::ApplyTranslation()
{
    File1->setTitle(Translate(QStringLiteral("&File")));
    Action1->setTitle(Translate(QStringLiteral("&Action")));
    Edit1->setTitle(Translate(QStringLiteral("&Edit")));
    View1->setTitle(Translate(QStringLiteral("&View")));
    Help1->setTitle(Translate(QStringLiteral("&Help")));
    AddFolder1->setText(Translate(QStringLiteral("&Add Folder...")));
    ExportFileClones1->setText(Translate(QStringLiteral("Export F&ile Clones...")));
    ExportFolderClones1->setText(Translate(QStringLiteral("Export Fo&lder Clones...")));
    Exit1->setText(Translate(QStringLiteral("E&xit")));
    Scan1->setText(Translate(QStringLiteral("&Scan")));
    Stop1->setText(Translate(QStringLiteral("S&top")));
    MoveCheckedtoRecycleBin1->setText(Translate(QStringLiteral("&Remove Checked")));
    Checkallbutoneingroup1->setText(Translate(QStringLiteral("Check all but one in &group")));
    Checkall1->setText(Translate(QStringLiteral("&Check All")));
    Uncheckall1->setText(Translate(QStringLiteral("&Uncheck All")));
    mmCheckRules->setTitle(Translate(QStringLiteral("Chec&k...")));
    KeepNewest1->setText(Translate(QStringLiteral("All but the &newest")));
    KeepOldest1->setText(Translate(QStringLiteral("All but the &oldest")));
    KeepShortestPath1->setText(Translate(QStringLiteral("All but the &shortest path")));
    KeepLongestPath1->setText(Translate(QStringLiteral("All but the &longest path")));
    KeepInFolder1->setText(Translate(QStringLiteral("All but the first in a &folder...")));
    Page1->setTitle(Translate(QStringLiteral("&Page")));
    FileClones1->setText(Translate(QStringLiteral("&File Clones")));
    FolderClones1->setText(Translate(QStringLiteral("F&older Clones")));
    ShowSettingsPanel1->setText(Translate(QStringLiteral("&Show Settings Panel")));
    mmLanguage->setTitle(Translate(QStringLiteral("&Language")));
    utorial1->setText(Translate(QStringLiteral("&Tutorial")));
    ContactUs1->setText(Translate(QStringLiteral("&Contact Us")));
    VisitWebsite1->setText(Translate(QStringLiteral("&Visit Website")));
    About1->setText(Translate(QStringLiteral("&About...")));

    Label1->setText(Translate(QStringLiteral("Folders &to scan:")));
    btnAddFolder->setText(Translate(QStringLiteral("Add f&older...")));
    btnRemoveFolder->setText(Translate(QStringLiteral("&Remove Selected")));
    chkFileDuplicates->setText(Translate(QStringLiteral("Fin&d file clones")));
    chkDirDuplicates->setText(Translate(QStringLiteral("Find fo&lder clones")));
    chkFolderContents->setText(Translate(QStringLiteral("Compare folder contents b&yte by byte")));
    chkFolderContents->setToolTip(Translate(QStringLiteral(
        "Lists only folders whose files hold the same bytes; without it, folders are grouped by file names and sizes "
        "and compared by content before removal.")));
    rgCompare->setTitle(Translate(QStringLiteral("Compare files &by")));
    const int chosen = rgCompare->ItemIndex();
    rgCompare->SetItems(CompareChoices());
    rgCompare->SetItemIndex(chosen);
    Label2->setText(Translate(QStringLiteral("File mas&ks (CSV):")));
    Label3->setText(Translate(QStringLiteral("Min si&ze (MB):")));
    chkParallelHash->setText(Translate(QStringLiteral("&Parallel hashing")));
    chkFollowLinks->setText(Translate(QStringLiteral("Follo&w folder links")));
    chkFollowLinks->setToolTip(Translate(QStringLiteral(
        "Walk links to folders below the listed folders like folders, each folder once. Unchecked, such links are left out.")));
    Label6->setText(Translate(QStringLiteral("E&xclude:")));
    edExclude->setToolTip(Translate(QStringLiteral(
        "Folder names and patterns to leave out, separated by \";\": .git; node_modules; */cache/*; *.tmp")));
    lbFolders->setToolTip(Translate(QStringLiteral(
        "A checked folder is a reference folder: its files are compared, but never checked or moved.")));
    Label4->setText(Translate(QStringLiteral("Max &groups (0 = all):")));
    Label5->setText(Translate(QStringLiteral("Min gro&up size:")));
    btnScan->setText(Translate(QStringLiteral("&Scan")));
    PageControl1->setTabText(PageControl1->indexOf(tsFiles), Translate(QStringLiteral("File Clones")));
    PageControl1->setTabText(PageControl1->indexOf(tsDirs), Translate(QStringLiteral("Folder Clones")));
    btnSelectAllButOne->setText(Translate(QStringLiteral("Check all but one in &group")));
    btnCheckAll->setText(Translate(QStringLiteral("&Check all")));
    btnUncheckAll->setText(Translate(QStringLiteral("&Uncheck all")));
    btnCheckRules->setText(Translate(QStringLiteral("Chec&k...")));
    Button1->setText(Translate(QStringLiteral("&Open location")));
    btnDeleteSelected->setText(Translate(QStringLiteral("&Delete checked to Recycle Bin")));
    btnExportFiles->setText(Translate(QStringLiteral("Export F&ile Clones...")));
    btnExportDirs->setText(Translate(QStringLiteral("Export Fo&lder Clones...")));
    btnStop->setText(Translate(QStringLiteral("S&top")));
    lblStatus->setText(Translate(QStringLiteral("Ready")));

    // Names for screen readers where no caption of their own says what a
    // control is: the lists say what they hold, the boxes take their label.
    const auto plain = [](QString caption) {
        caption.remove(QRegularExpression(QStringLiteral("&(?!&)|\\(&.\\)")));
        while (caption.endsWith(u':') || caption.endsWith(u'\uff1a') || caption.endsWith(u' '))
            caption.chop(1);
        return caption;
    };
    lbFolders->setAccessibleName(plain(Label1->text()));
    lbFolders->setAccessibleDescription(lbFolders->toolTip());
    for (QLabel* label : { Label2, Label3, Label4, Label5, Label6 })
        label->buddy()->setAccessibleName(plain(label->text()));
    lvFilesView->setAccessibleName(Translate(QStringLiteral("File Clones")));
    lvDirsView->setAccessibleName(Translate(QStringLiteral("Folder Clones")));
    ProgressBar->setAccessibleName(Translate(QStringLiteral("Scan progress")));
    chkFolderContents->setAccessibleName(plain(chkFolderContents->text()));
    chkFolderContents->setAccessibleDescription(chkFolderContents->toolTip());
    chkFollowLinks->setAccessibleName(plain(chkFollowLinks->text()));
    chkFollowLinks->setAccessibleDescription(chkFollowLinks->toolTip());

    lvFiles.Columns = TranslatedCaptions(FileColumns);
    lvDirs.Columns = TranslatedCaptions(DirColumns);
    FFilesModel->ColumnsChanged();
    FDirsModel->ColumnsChanged();
    FitToTexts(this, { lvFilesView, lvDirsView });
    FitBottomPanel(width());
}
