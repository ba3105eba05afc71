#include "ui/ResultNote.h"

#include "engine/ResultList.h"
#include "i18n/translation.h"

#include <QLocale>
#include <QStringList>

namespace {
QString Count(qint64 n) { return QLocale().toString(n); }
} // namespace

QString ResultNote(const TResultCounts& c)
{
    QStringList parts;
    if (c.FileClones)
        parts << TrFill(QStringLiteral("%s files, %s groups, %s in copies"),
            { Count(c.Files), Count(c.FileGroupsListed), FormatSizeMB(c.CopyBytes) });
    else
        parts << TrFill(QStringLiteral("%s files"), { Count(c.Files) });
    if (c.FolderClones)
        parts << TrFill(QStringLiteral("%s folder groups"), { Count(c.FolderGroupsListed) });
    // Folder groups agree by names and sizes only, unless their bytes were
    // compared: say so where a person decides what to remove.
    if (c.FolderClones && c.FolderGroupsListed > 0 && !c.FolderContents)
        parts << Translate(QStringLiteral("names and sizes compared; contents are compared before removal"));
    if (c.FileClones && c.MaxGroups > 0 && c.FileGroupsFound > c.FileGroupsListed)
        parts << TrFill(QStringLiteral("%s of %s groups shown: Max groups"),
            { Count(c.FileGroupsListed), Count(c.FileGroupsFound) });
    if (c.MinSizeMB > 0)
        parts << TrFill(QStringLiteral("files under %s MB were left out: Min size"), { Count(c.MinSizeMB) });
    if (c.FirstNote && c.FileClones && c.FileGroupsListed > 0)
        parts << Translate(c.ReferenceRows
                ? QStringLiteral("in each group all but the reference copies, or else the first file, are checked")
                : QStringLiteral("all but the first file of each group are checked"));
    return parts.join(QStringLiteral("; "));
}
