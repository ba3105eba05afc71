#pragma once
// The commands on the results: check marks, moving the checked entries to the
// trash, CSV export, showing an entry in the file manager, the vendor's web
// pages and the About box. They work on the result list data and reach the
// person only through platform::Desktop, so TMainForm's handlers stay short
// and tests run them without a real box, browser or file manager.
//
// Which list a command works on is the caller's choice (the page that is
// showing, or the export's fixed list). Main thread only.

#include "engine/RemovalPlan.h"
#include "engine/ResultList.h"
#include "platform/core/Trash.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <stdexcept>

class QWidget;
class ScanWindow;

// A file that could not be written, with a text for the person.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

// ---- check commands
// In every group one item is kept unchecked and every other item checked:
// the reference items when the group has any (they are never checked), else
// the first in list order. Items in no group (negative id) are left as they are.
void CheckAllButOneInGroup(ResultList& list);
void CheckAll(ResultList& list);
void UncheckAll(ResultList& list);

// Selection rules: in each group the rule keeps one entry and every other
// entry is checked; the kept entry and the reference entries are unchecked.
// Ties go to the first in list order. Newest and Oldest compare the file
// rows' modification times as the scan read them; on the folder page they
// change nothing.
enum class KeepRule { Newest, Oldest, ShortestPath, LongestPath, InFolder };
// folder: for InFolder, the folder whose first entry (in list order) each
// group keeps; a group with no entry in it is left wholly unchecked. Returns
// the number of groups in which the rule found nothing to keep (InFolder's
// groups without an entry in folder; every group for a time rule on the
// folder page).
int CheckAllButKept(ResultList& list, ResultPage page, KeepRule rule, const QString& folder = QString());

// ---- removal to the trash
// The entries of the checked items, in list order: on the file page the
// FullPath of each item's record (an item without one yields nothing), with
// the size, identity and times it was listed with; on the folder page the
// first sub-item (an item without sub-items yields nothing), with the row's
// identity.
QList<platform::TrashEntry> CheckedEntries(const ResultList& list, ResultPage page);
// Moves entries to the trash as one operation (platform::MoveToTrash); true
// only when every entry was moved. An empty list returns false at once.
bool MoveToRecycleBin(const QList<platform::TrashEntry>& entries);
// The command, against the disk as it is now (PlanRemoval):
// 1. No checked entry: says so.
// 2. Groups that would keep no copy: a warning names them and offers to leave
//    one copy in each (LeaveOneCopy, the default), to go on, or to cancel.
// 3. The confirmation with the number of entries that may go.
// 4. After Yes the plan is made again from the disk. When it differs from
//    the confirmed one (an entry that no longer goes or goes again, a group
//    that would now keep no copy), the person is asked again with what
//    changed (and offered to leave one copy in such groups); nothing moves
//    until a Yes finds the disk as the question described it.
// 5. Those entries go to the trash as one operation, each checked against
//    its record on the opened object right before its rename; the rows of
//    what went are deleted (on the folder page with the rows inside moved
//    folders), the others stay. The message says it worked, or names what
//    moved and what did not (the entry that stopped the move with why, the
//    ones it held back), and names the checked entries left out (gone or
//    changed since the scan, in or holding a reference folder).
// On the folder page, just before the move, each folder that goes is compared
// by content with the folders of its group that stay (FolderContents.h); one
// equal to none of them stays, named with its first difference, and a Stop
// during the comparison moves nothing and says so.
// referenceFolders: the listed reference folders; scannedFolders: the listed
// folders with their identity at the scan (ScanWindow::ScannedFolders).
// window: runs the comparison with progress and Stop
// (ScanWindow::CompareFoldersBeforeRemoval); without one it runs at once,
// without either.
void DeleteCheckedToRecycleBin(QWidget* parent, ResultList& list, ResultPage page,
    const QStringList& referenceFolders = {}, const QList<platform::KnownFolder>& scannedFolders = {},
    ScanWindow* window = nullptr);

// ---- CSV export
// The save dialog's filter and the default names of the two exports.
QString CsvFilter();
inline QString DefaultFileClonesCsvName() { return QStringLiteral("duplicate_files.csv"); }
inline QString DefaultFolderClonesCsvName() { return QStringLiteral("duplicate_directories.csv"); }
// Writes CsvText(list) to fileName in one go (platform::WriteWholeFile): a
// regular file there is replaced and either gets the whole text or keeps what
// it held; a FIFO or a character device is written as it is, never replaced.
// Throws ExportError when the file cannot be written.
void ExportListToCsv(const ResultList& list, const QString& fileName);
// Asks for a file name (save dialog with CsvFilter and defaultName) and
// exports list to it; a cancelled dialog writes nothing. Throws ExportError.
void ExportWithDialog(QWidget* parent, const ResultList& list, const QString& defaultName);

// ---- open location
// Shows the item at index of list: a file selected in the file manager, a
// folder opened itself. index is -1 when nothing is selected. Every case that
// cannot be shown gets its message in a plain box; a file manager that cannot
// be reached, in an error box (possibly after the command has returned).
void OpenLocation(QWidget* parent, const ResultList& list, ResultPage page, int index);

// ---- web links and About
// A page of the vendor's site (TWINLENS_WEBSITE); the empty path is the root.
QUrl WebsiteUrl(const QString& path = QString());
// The three pages in the browser; when none answers, an error box over
// parent says which page could not be opened.
void OpenTutorial(QWidget* parent = nullptr);
void OpenContactUs(QWidget* parent = nullptr);
void OpenWebsite(QWidget* parent = nullptr);
// The About text for a year, lines joined with "\n".
QString AboutText(int year);
// The About box, with the year of the system clock at this moment.
void ShowAbout(QWidget* parent);
