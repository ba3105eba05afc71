#include "ui/ResultCommands.h"

#include "engine/FolderContents.h"
#include "engine/ScanWindow.h"
#include "i18n/translation.h"
#include "platform/core/FileSystem.h"
#include "platform/core/WholeFile.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"

#include <QDate>
#include <QHash>

#include <QPointer>
#include <QWidget>
#include <QSet>

#include <algorithm>

namespace {

void SayPlain(QWidget* parent, const QString& text)
{
    platform::CurrentDesktop().ShowMessage(parent, platform::BoxKind::Plain, ui::ApplicationTitle(), text);
}

void SayError(QWidget* parent, const QString& text)
{
    platform::CurrentDesktop().ShowMessage(parent, platform::BoxKind::Error, ui::ApplicationTitle(), text);
}

void SetAllChecks(ResultList& list, bool checked)
{
    for (int i = 0; i < list.ItemCount(); ++i)
        list.SetChecked(i, checked);
}

// The first few of lines, one per line, then how many more there are.
QString FirstFew(const QStringList& lines)
{
    constexpr int kShown = 5;
    QString text = lines.mid(0, kShown).join(u'\n');
    if (lines.size() > kShown)
        text += u'\n' + TrFill(QStringLiteral("... and %d more"), { int(lines.size() - kShown) });
    return text;
}

QString ReasonText(LeftOutReason reason)
{
    switch (reason) {
    case LeftOutReason::Vanished:
        return Translate(QStringLiteral("gone since the scan"));
    case LeftOutReason::Changed:
        return Translate(QStringLiteral("changed since the scan"));
    case LeftOutReason::Unreadable:
        return Translate(QStringLiteral("cannot be looked at"));
    case LeftOutReason::UnsafeWay:
        return Translate(QStringLiteral("a folder on its way is a link or was replaced"));
    case LeftOutReason::Reference:
        return Translate(QStringLiteral("in a reference folder"));
    case LeftOutReason::HoldsReference:
        return Translate(QStringLiteral("holds a reference folder"));
    case LeftOutReason::ContentsDiffer:
        return Translate(QStringLiteral("contents differ from every kept copy"));
    }
    return QString();
}

QString LeftOutText(const RemovalPlan& plan)
{
    QStringList lines;
    for (const LeftOutEntry& e : plan.LeftOut)
        lines.append(ui::IsolatedPath(e.Path) + QStringLiteral(": ")
            + (e.Detail.isEmpty() ? ReasonText(e.Reason)
                                  : TrFill(QStringLiteral("contents differ from every kept copy, first at %s"),
                                        { ui::IsolatedPath(e.Detail) })));
    return TrFill(QStringLiteral("%d checked entries were left out:"), { int(plan.LeftOut.size()) }) + u'\n'
        + FirstFew(lines);
}

// "Groups that would keep no copy: N" and the first few of their headers.
QString GroupsText(const ResultList& list, const QList<int>& groups)
{
    QHash<int, QString> headers;
    for (const ResultGroup& g : list.Groups())
        headers.insert(g.Id, g.Header);
    QStringList lines;
    for (const int id : groups)
        lines.append(headers.value(id, QString::number(id)));
    return TrFill(QStringLiteral("Groups that would keep no copy: %d"), { int(groups.size()) }) + u'\n'
        + FirstFew(lines);
}

// The warning before a removal that leaves groups without a copy. True to go
// on; the list's checks may have changed (one copy left in each group).
// lead: what comes before the warning (what changed on the disk), or empty.
bool PassLastCopyGuard(QWidget* parent, ResultList& list, ResultPage page, const RemovalPlan& plan,
    const QList<platform::KnownFolder>& scannedFolders, const QString& lead = QString())
{
    if (plan.GroupsLosingEveryCopy.isEmpty())
        return true;
    const QString text = (lead.isEmpty() ? QString() : lead + QStringLiteral("\n\n"))
        + GroupsText(list, plan.GroupsLosingEveryCopy);
    enum { LeaveOne, GoOn, Cancel };
    const int choice = platform::CurrentDesktop().Choose(parent, ui::ApplicationTitle(), text,
        { Translate(QStringLiteral("&Leave one copy in each")), Translate(QStringLiteral("&Go on anyway")),
            Translate(QStringLiteral("&Cancel")) },
        LeaveOne, Cancel);
    if (choice == LeaveOne)
        LeaveOneCopy(list, page, plan.GroupsLosingEveryCopy, scannedFolders);
    return choice == LeaveOne || choice == GoOn;
}

bool CompareFolderCopies(ScanWindow* window, const ResultList& list, RemovalPlan& plan)
{
    if (window)
        return window->CompareFoldersBeforeRemoval(list, plan);
    const std::atomic<bool> never { false };
    FolderCompareProgress progress;
    return VerifyFolderCopies(list, plan, ContentOptions(), never, progress);
}

QString FailureText(platform::TrashFailure failure)
{
    using platform::TrashFailure;
    switch (failure) {
    case TrashFailure::Gone:
        return ReasonText(LeftOutReason::Vanished);
    case TrashFailure::Changed:
        return ReasonText(LeftOutReason::Changed);
    case TrashFailure::Unreadable:
        return ReasonText(LeftOutReason::Unreadable);
    case TrashFailure::Way:
        return ReasonText(LeftOutReason::UnsafeWay);
    case TrashFailure::None:
    case TrashFailure::Trash:
    case TrashFailure::Other:
        break;
    }
    return Translate(QStringLiteral("the trash cannot take it"));
}

// What a plan made again after the confirmation shows that the confirmed one
// did not, for the person to see before anything moves.
// groups: the groups to name as keeping no copy now.
QString ChangesText(const ResultList& list, ResultPage page, const PlanChanges& changes, const QList<int>& groups)
{
    QStringList lines;
    for (const LeftOutEntry& e : changes.NoLongerGoing)
        lines.append(ui::IsolatedPath(e.Path) + QStringLiteral(": ") + ReasonText(e.Reason));
    for (const int item : changes.NowGoing) {
        const ResultItem& row = list.Item(item);
        const QString path = page == ResultPage::Files ? (row.Data ? row.Data->FullPath() : QString()) : row.SubItems.value(0);
        lines.append(ui::IsolatedPath(path) + QStringLiteral(": ") + Translate(QStringLiteral("back as the scan saw it")));
    }
    QString text = Translate(QStringLiteral("The disk changed after you confirmed:"));
    if (!lines.isEmpty())
        text += u'\n' + FirstFew(lines);
    if (!groups.isEmpty())
        text += u'\n' + GroupsText(list, groups);
    return text;
}

// The closing message of a move that stopped: what went and what did not,
// each by path, in list order.
QString StoppedText(const RemovalPlan& plan, const platform::TrashOutcome& outcome, bool files)
{
    const int total = int(plan.Entries.size());
    const int moved = std::clamp(outcome.Moved, 0, total);
    QString text;
    if (moved == 0) {
        text = Translate(files ? QStringLiteral("No files were moved to the Recycle Bin.")
                               : QStringLiteral("No directories were moved to the Recycle Bin."));
    } else {
        QStringList went;
        for (int k = 0; k < moved; ++k)
            went.append(ui::IsolatedPath(plan.Entries[k].Path));
        text = Translate(files ? QStringLiteral("Failed to delete some files.") : QStringLiteral("Failed to delete some directories."))
            + u'\n' + TrFill(QStringLiteral("Moved to the Recycle Bin: %d of %d"), { moved, total }) + u'\n'
            + FirstFew(went);
    }
    // The entry that stopped the operation first, then what it held back.
    QStringList stayed;
    int stopped = -1;
    for (int k = moved; k < total; ++k)
        if (stopped < 0 && plan.Entries[k].Path == outcome.FailedPath)
            stopped = k;
    if (stopped >= 0)
        stayed.append(ui::IsolatedPath(plan.Entries[stopped].Path) + QStringLiteral(": ") + FailureText(outcome.Failure));
    const QString held = Translate(QStringLiteral("left in place when the move stopped"));
    for (int k = moved; k < total; ++k)
        if (k != stopped)
            stayed.append(ui::IsolatedPath(plan.Entries[k].Path) + QStringLiteral(": ") + held);
    if (moved == 0)
        return text + u'\n' + FirstFew(stayed);
    return text + QStringLiteral("\n\n") + TrFill(QStringLiteral("Not moved: %d"), { total - moved }) + u'\n'
        + FirstFew(stayed);
}

} // namespace

// ---- check commands

void CheckAllButOneInGroup(ResultList& list)
{
    // The groups that keep their reference items; the others keep the first.
    QSet<int> withReference;
    for (const ResultItem& item : list.Items())
        if (item.Reference && item.GroupId >= 0)
            withReference.insert(item.GroupId);
    QSet<int> met;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const ResultItem& item = list.Item(i);
        const int group = item.GroupId;
        if (group < 0)
            continue;
        if (item.Reference) {
            list.SetChecked(i, false);
        } else if (withReference.contains(group) || met.contains(group)) {
            list.SetChecked(i, true);
        } else {
            met.insert(group);
            list.SetChecked(i, false);
        }
    }
}

void CheckAll(ResultList& list)
{
    SetAllChecks(list, true);
}

void UncheckAll(ResultList& list)
{
    SetAllChecks(list, false);
}

int CheckAllButKept(ResultList& list, ResultPage page, KeepRule rule, const QString& folder)
{
    const bool files = page == ResultPage::Files;
    const bool byTime = rule == KeepRule::Newest || rule == KeepRule::Oldest;
    if (byTime && !files)
        return list.GroupCount();
    QString inside = folder;
    while (inside.size() > 1 && inside.endsWith(u'/'))
        inside.chop(1);
    const auto pathOf = [&](const ResultItem& item) {
        return files ? (item.Data ? item.Data->FullPath() : QString()) : item.SubItems.value(0);
    };
    // The kept item of each group: a better one replaces it, a tie does not.
    QHash<int, int> kept;
    QSet<int> groups;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const ResultItem& item = list.Item(i);
        if (item.GroupId < 0)
            continue;
        groups.insert(item.GroupId);
        const QString path = pathOf(item);
        if (path.isEmpty() || (byTime && !item.Data))
            continue;
        if (rule == KeepRule::InFolder && !platform::IsSameOrInside(path, inside))
            continue;
        const auto it = kept.constFind(item.GroupId);
        if (it == kept.constEnd()) {
            kept.insert(item.GroupId, i);
            continue;
        }
        const ResultItem& best = list.Item(*it);
        bool better = false;
        switch (rule) {
        case KeepRule::Newest:
            better = item.Data->Modified > best.Data->Modified;
            break;
        case KeepRule::Oldest:
            better = item.Data->Modified < best.Data->Modified;
            break;
        case KeepRule::ShortestPath:
            better = path.size() < pathOf(best).size();
            break;
        case KeepRule::LongestPath:
            better = path.size() > pathOf(best).size();
            break;
        case KeepRule::InFolder:
            break;
        }
        if (better)
            kept[item.GroupId] = i;
    }
    list.BeginUpdate();
    for (int i = 0; i < list.ItemCount(); ++i) {
        const ResultItem& item = list.Item(i);
        if (item.GroupId < 0)
            continue;
        const auto it = kept.constFind(item.GroupId);
        list.SetChecked(i, it != kept.constEnd() && *it != i && !item.Reference);
    }
    list.EndUpdate();
    return int(groups.size() - kept.size());
}

// ---- removal to the trash

QList<platform::TrashEntry> CheckedEntries(const ResultList& list, ResultPage page)
{
    QList<platform::TrashEntry> entries;
    for (const ResultItem& item : list.Items()) {
        if (!item.Checked)
            continue;
        if (page == ResultPage::Files) {
            if (item.Data) {
                platform::TrashEntry e { item.Data->FullPath(), platform::TrashKind::RegularFile, item.Data->Size,
                    item.Data->NativePath() };
                e.Id = item.Data->Id;
                e.Modified = item.Data->Modified;
                e.Changed = item.Data->Changed;
                entries.append(std::move(e));
            }
        } else if (!item.SubItems.isEmpty()) {
            platform::TrashEntry e { item.SubItems[0], platform::TrashKind::Directory, -1, {} };
            e.Id = item.Id;
            entries.append(std::move(e));
        }
    }
    return entries;
}

bool MoveToRecycleBin(const QList<platform::TrashEntry>& entries)
{
    if (entries.isEmpty())
        return false;
    return platform::MoveToTrash(entries).Complete;
}

void DeleteCheckedToRecycleBin(QWidget* parent, ResultList& list, ResultPage page, const QStringList& referenceFolders,
    const QList<platform::KnownFolder>& scannedFolders, ScanWindow* window)
{
    const bool files = page == ResultPage::Files;
    const QString nothingText = Translate(files ? QStringLiteral("No files selected.") : QStringLiteral("No directories selected."));
    const QString confirmText = Translate(files ? QStringLiteral("Move %d files to Recycle Bin?")
                                                : QStringLiteral("Move %d directories to Recycle Bin?"));
    const QString successText = Translate(files ? QStringLiteral("Files were moved to the Recycle Bin.")
                                                : QStringLiteral("Directories were moved to the Recycle Bin."));

    if (std::none_of(list.Items().cbegin(), list.Items().cend(), [](const ResultItem& i) { return i.Checked; })) {
        SayPlain(parent, nothingText);
        return;
    }
    const auto makePlan = [&] { return PlanRemoval(list, page, referenceFolders, scannedFolders); };
    RemovalPlan plan = makePlan();
    if (!plan.GroupsLosingEveryCopy.isEmpty()) {
        if (!PassLastCopyGuard(parent, list, page, plan, scannedFolders))
            return;
        plan = makePlan();
    }
    if (plan.Entries.isEmpty()) {
        SayPlain(parent, plan.LeftOut.isEmpty() ? nothingText : LeftOutText(plan));
        return;
    }

    // The disk may change while a question is open: after every Yes the plan
    // is made again, and what it shows that the answered one did not is put
    // to the person before anything moves.
    QString question = Fill(confirmText, { int(plan.Entries.size()) });
    for (;;) {
        if (!platform::CurrentDesktop().Confirm(parent, ui::ApplicationTitle(), question))
            return;
        RemovalPlan now = makePlan();
        const PlanChanges changes = ComparePlans(plan, now);
        if (changes.IsEmpty()) {
            plan = std::move(now);
            break;
        }
        QList<int> losing = changes.GroupsNowLosingEveryCopy;
        if (!losing.isEmpty()) {
            RemovalPlan guarded = now;
            guarded.GroupsLosingEveryCopy = losing;
            if (!PassLastCopyGuard(parent, list, page, guarded, scannedFolders, ChangesText(list, page, changes, {})))
                return;
            now = makePlan();
            // Named again only where no copy was left (the person went on).
            const QSet<int> still(now.GroupsLosingEveryCopy.cbegin(), now.GroupsLosingEveryCopy.cend());
            losing.removeIf([&](int group) { return !still.contains(group); });
        }
        const QString changed = ChangesText(list, page, changes, losing);
        if (now.Entries.isEmpty()) {
            SayPlain(parent, changed + QStringLiteral("\n\n") + Translate(QStringLiteral("Nothing is left to move.")));
            return;
        }
        question = changed + QStringLiteral("\n\n") + Fill(confirmText, { int(now.Entries.size()) });
        plan = std::move(now);
    }

    // Names and sizes made the folder groups; the bytes decide what may go.
    if (page == ResultPage::Dirs && !CompareFolderCopies(window, list, plan)) {
        SayPlain(parent, Translate(QStringLiteral("The comparison was stopped; nothing was moved.")));
        return;
    }
    if (plan.Entries.isEmpty()) {
        SayPlain(parent, LeftOutText(plan));
        return;
    }

    const platform::TrashOutcome outcome = platform::MoveToTrash(plan.Entries);
    // What went is gone from the disk, and from the list, whatever stopped
    // the rest; what did not go stays listed.
    list.DeleteItems(ItemsGone(list, page, plan, outcome.Moved));
    QString text = outcome.Complete ? successText : StoppedText(plan, outcome, files);
    if (!plan.LeftOut.isEmpty())
        text += QStringLiteral("\n\n") + LeftOutText(plan);
    SayPlain(parent, text);
}

// ---- CSV export

QString CsvFilter()
{
    return QStringLiteral("CSV files (*.csv);;All files (*)");
}

void ExportListToCsv(const ResultList& list, const QString& fileName)
{
    QString reason;
    if (!platform::WriteWholeFile(fileName, CsvText(list), reason))
        throw ExportError(TrFill(QStringLiteral("Cannot write the file %s: %s"), { fileName, reason }));
}

void ExportWithDialog(QWidget* parent, const ResultList& list, const QString& defaultName)
{
    const QString fileName = platform::CurrentDesktop().ChooseSaveFile(parent, CsvFilter(), defaultName);
    if (fileName.isEmpty())
        return;
    ExportListToCsv(list, fileName);
}

// ---- open location

void OpenLocation(QWidget* parent, const ResultList& list, ResultPage page, int index)
{
    if (index < 0 || index >= list.ItemCount()) {
        SayPlain(parent, Translate(QStringLiteral("Please select an item first.")));
        return;
    }
    const ResultItem& item = list.Item(index);
    if (page == ResultPage::Files) {
        if (!item.Data) {
            SayPlain(parent, Translate(QStringLiteral("No file path available for the selected item.")));
            return;
        }
        const QString path = item.Data->FullPath();
        if (!platform::RegularFileExists(path)) {
            SayPlain(parent, Translate(QStringLiteral("File does not exist: ")) + ui::IsolatedPath(path));
            return;
        }
        platform::CurrentDesktop().ShowInFileManager(path, [box = QPointer<QWidget>(parent), path] {
            SayError(box, TrFill(QStringLiteral("The file manager could not be reached to show %s."),
                              { ui::IsolatedPath(path) }));
        });
    } else {
        const QString path = item.SubItems.value(0);
        if (!platform::DirectoryExists(path)) {
            SayPlain(parent, Translate(QStringLiteral("Directory does not exist: ")) + ui::IsolatedPath(path));
            return;
        }
        if (!platform::CurrentDesktop().OpenUrl(QUrl::fromLocalFile(path)))
            SayError(parent, TrFill(QStringLiteral("The file manager could not be reached to show %s."),
                                 { ui::IsolatedPath(path) }));
    }
}

// ---- web links and About

QUrl WebsiteUrl(const QString& path)
{
    QString site = QStringLiteral(TWINLENS_WEBSITE);
    while (site.endsWith(u'/'))
        site.chop(1);
    return QUrl(site + path);
}

namespace {
void OpenPage(QWidget* parent, const QUrl& url)
{
    if (!platform::CurrentDesktop().OpenUrl(url))
        SayError(parent, TrFill(QStringLiteral("The web browser could not be reached to open %s."),
                             { ui::IsolatedPath(url.toString()) }));
}
} // namespace

void OpenTutorial(QWidget* parent) { OpenPage(parent, WebsiteUrl(QStringLiteral("/redirect/tutorial-twinlens.html"))); }

void OpenContactUs(QWidget* parent) { OpenPage(parent, WebsiteUrl(QStringLiteral("/support.html"))); }

void OpenWebsite(QWidget* parent) { OpenPage(parent, WebsiteUrl()); }

QString AboutText(int year)
{
    const QStringList lines {
        ui::ApplicationTitle(),
        Translate(QStringLiteral("Version:")) + u' ' + ui::ProgramVersion(),
        QString(),
        Translate(QStringLiteral("Website:")) + u' ' + WebsiteUrl().toString(),
        QString(),
        Translate(QStringLiteral("This software is protected by copyright law and international treaties. "
                                 "Unauthorized copying or distribution of this program, or any portion of it, "
                                 "may result in severe civil and criminal penalties.")),
        QString(),
        QStringLiteral("Copyright (C) %1 Twinlens. ").arg(year) + Translate(QStringLiteral("All rights reserved.")),
    };
    return lines.join(u'\n');
}

void ShowAbout(QWidget* parent)
{
    platform::CurrentDesktop().ShowMessage(parent, platform::BoxKind::Information, ui::ApplicationTitle(),
        AboutText(QDate::currentDate().year()));
}
