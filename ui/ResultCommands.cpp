#include "ui/ResultCommands.h"

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

// True when moving the checked folders would take every row of some group to
// the trash although one of those rows is unchecked (it lies inside a checked
// folder and would go along with it).
bool TakesAKeptGroup(const ResultList& list)
{
    QSet<QString> checkedDirs;
    for (const ResultItem& item : list.Items())
        if (item.Checked && !item.SubItems.isEmpty() && !item.SubItems[0].isEmpty())
            checkedDirs.insert(item.SubItems[0]);
    if (checkedDirs.isEmpty())
        return false;
    // The same answer as platform::IsSameOrInside against every checked
    // folder, found by looking up the path and each of its ancestors: a long
    // folder list must not cost a pass over the checked folders per row.
    const auto insideChecked = [&](const QString& path) {
        if (checkedDirs.contains(path))
            return true;
        if (path.startsWith(u'/') && checkedDirs.contains(QStringLiteral("/")))
            return true;
        for (qsizetype slash = path.indexOf(u'/', 1); slash > 0; slash = path.indexOf(u'/', slash + 1))
            if (checkedDirs.contains(path.left(slash)))
                return true;
        return false;
    };

    struct GroupFate {
        bool SomeStay = false;
        bool SomeTakenAlong = false;
    };
    QHash<int, GroupFate> fate;
    for (const ResultItem& item : list.Items()) {
        if (item.GroupId < 0)
            continue;
        GroupFate& f = fate[item.GroupId];
        const QString path = item.SubItems.value(0);
        if (item.Checked && !path.isEmpty())
            continue;
        const bool goes = !path.isEmpty() && insideChecked(path);
        if (goes)
            f.SomeTakenAlong = true;
        else
            f.SomeStay = true;
    }
    return std::any_of(fate.cbegin(), fate.cend(), [](const GroupFate& f) { return f.SomeTakenAlong && !f.SomeStay; });
}

} // namespace

// ---- check commands

void CheckAllButOneInGroup(ResultList& list)
{
    QSet<int> met;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const int group = list.Item(i).GroupId;
        if (group < 0)
            continue;
        if (met.contains(group)) {
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

// ---- removal to the trash

QList<platform::TrashEntry> CheckedEntries(const ResultList& list, ResultPage page)
{
    QList<platform::TrashEntry> entries;
    for (const ResultItem& item : list.Items()) {
        if (!item.Checked)
            continue;
        if (page == ResultPage::Files) {
            if (item.Data)
                entries.append({ item.Data->FullPath(), platform::TrashKind::RegularFile, item.Data->Size, {} });
        } else if (!item.SubItems.isEmpty()) {
            entries.append({ item.SubItems[0], platform::TrashKind::Directory, -1, {} });
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

void DeleteCheckedToRecycleBin(QWidget* parent, ResultList& list, ResultPage page)
{
    const bool files = page == ResultPage::Files;
    const QString nothingText = Translate(files ? QStringLiteral("No files selected.") : QStringLiteral("No directories selected."));
    const QString confirmText = Translate(files ? QStringLiteral("Move %d files to Recycle Bin?")
                                                : QStringLiteral("Move %d directories to Recycle Bin?"));
    const QString successText = Translate(files ? QStringLiteral("Files were moved to the Recycle Bin.")
                                                : QStringLiteral("Directories were moved to the Recycle Bin."));
    const QString failureText = Translate(files ? QStringLiteral("Failed to delete some files.")
                                                : QStringLiteral("Failed to delete some directories."));

    const QList<platform::TrashEntry> entries = CheckedEntries(list, page);
    if (entries.isEmpty()) {
        SayPlain(parent, nothingText);
        return;
    }
    if (!platform::CurrentDesktop().Confirm(parent, ui::ApplicationTitle(), Fill(confirmText, { int(entries.size()) })))
        return;

    if ((!files && TakesAKeptGroup(list)) || !MoveToRecycleBin(entries)) {
        SayPlain(parent, failureText);
        return;
    }

    list.DeleteCheckedItems();
    SayPlain(parent, successText);
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
