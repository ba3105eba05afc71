#pragma once
// The JSON document of twinlens-cli (--format json): the settings of the run
// and both clone lists in one UTF-8 document, without byte-order mark, ending
// in a line feed. One entry takes one line.
//
//   {
//     "program": "Twinlens 2.3",
//     "format_version": 1,
//     "stopped": false,
//     "settings": {
//       "folders": [{"path": "/data/photos/", "reference": false}],
//       "masks": ["*.*"], "compare": "content", "min_size_mb": 1,
//       "max_groups": 100, "min_group_size": 2, "exclude": [".git"],
//       "file_clones": true, "folder_clones": false
//     },
//     "file_groups": [
//       {"number": 1, "total_size": 4194304, "entries": [
//         {"path": "/data/photos/a.jpg", "size": 2097152,
//          "modified": "2024-05-01T12:34:56.123456789Z",
//          "modified_ns": 1714566896123456789, "reference": false,
//          "sha1": "4e1243bd22c66e76c2ba9eddc1f91394e57f9f83"}, ...]}
//     ],
//     "folder_groups": [
//       {"number": 1, "total_size": 8, "entries": [
//         {"path": "/data/photos/x", "size": 4, "reference": false}, ...]}
//     ]
//   }
//
// - "stopped": the run was cut short (Ctrl-C); the groups are those listed
//   until then.
// - Sizes are bytes. "total_size" is the sum of the group's entries.
//   "min_size_mb" is in MB of 1048576 bytes, as the option takes it.
// - "modified" is the time of last modification read at collection, in UTC
//   with nine digits of fraction; "modified_ns" the same instant as
//   nanoseconds since 1970-01-01T00:00:00Z (negative before).
// - "sha1" (40 lower-case hexadecimal digits) only in content mode, on every
//   entry whose content was hashed; never in the other modes.
// - "compare" is one of "name", "size", "name-size", "content"; "masks" the
//   masks of --masks one by one; "exclude" the patterns in effect, trimmed.
// - A group list the run did not look for ("file_clones" or "folder_clones"
//   false) is the empty array.
// - Folders of the settings end in "/", folders of folder groups do not.
//
// Texts: JSON escapes for the quote, the backslash, every C0 control, DEL and
// every C1 control (U+0080 to U+009F), so the document shows on a terminal as
// it is; a lone surrogate of a text is written as its \uXXXX escape; every
// other character is plain UTF-8.
//
// A file path whose bytes are not valid UTF-8 (legal on Linux) cannot be a
// JSON string as it is. Its "path" then has U+FFFD in place of each byte that
// is not part of a well-formed sequence, and "path_bytes" beside it holds the
// exact bytes in base64 (RFC 4648, with padding). "path_bytes" is present only
// then, so a "path" without it is exact.

#include "engine/ResultList.h"
#include "engine/ScanWindow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// What one document describes. The lists are not owned and must outlive the
// call.
struct JsonRun {
    ScanSettings Settings;
    QStringList Folders;          // normalized, in list order
    QStringList ReferenceFolders; // those of Folders that are reference folders
    const ResultList* Files = nullptr; // file clone rows; nullptr: none
    const ResultList* Dirs = nullptr;  // folder clone rows; nullptr: none
    bool Stopped = false;
};

// Writes the document of run, handing it to write in pieces of about 64 KiB
// (each ending after an entry), so that a list of hundreds of thousands of
// rows is never held whole. Stops at the first piece write refuses (returns
// false), and then returns false itself. Reads the rows only; runs on the
// calling thread. A file row without its record is left out (a scan gives
// every file row one).
bool WriteJson(const JsonRun& run, const std::function<bool(QByteArrayView)>& write);

// A JSON string literal, quotes included, of text as described above.
void AppendJsonString(QByteArray& out, QStringView text);
// The same for native bytes; returns false when they are not valid UTF-8
// (each stray byte then became U+FFFD).
bool AppendJsonNative(QByteArray& out, QByteArrayView native);

// "2024-05-01T12:34:56.123456789Z" for nanoseconds since the epoch.
QByteArray IsoTimeUtc(qint64 nanoseconds);
