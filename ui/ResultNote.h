#pragma once
// The note the status line adds after a scan's closing text ("  Done." or
// "Cancelled"), so that a result explains itself: how much was found, and
// what hid results when a limit applied. The counts come from the run; the
// note is made in the current language.

#include <QString>

struct TResultCounts {
    qint64 Files = 0;          // files collected
    bool FileClones = false;   // file clones were looked for
    int FileGroupsListed = 0;  // groups in the file clone list
    int FileGroupsFound = 0;   // groups formed before Max groups cut the listing
    qint64 CopyBytes = 0;      // bytes of the checked rows of the file clone list
    bool FolderClones = false; // folder clones were looked for
    int FolderGroupsListed = 0;
    bool FolderContents = false; // folder groups were split by the bytes of their files
    int MaxGroups = 0;         // the setting: 0 lists all
    int MinSizeMB = 0;         // the setting: 0 takes every size
    bool FirstNote = false;    // the window's first note: says what the checks mean
    bool ReferenceRows = false; // some rows of the file clone list lie in reference folders
};

// "12 files, 3 groups, 4.00 MB in copies", then what hid results, each part
// after "; ". Counts use the user's digit grouping, sizes FormatSizeMB.
QString ResultNote(const TResultCounts& counts);
