#pragma once
// Reading the update server's two documents: the version document (its first
// line, "latest/minimum") and the change log. QtCore and the text look-up
// only, so that the fuzz target of this parser builds without a window.

#include <QByteArray>
#include <QString>

#include <optional>

// What the documents announce to a running version.
struct TVersionOffer {
    bool Forced = false; // the running version may no longer be used
    QString Message;     // the text the new-version dialog shows
};

// The change log a dialog can show: lines beyond these are left out, and a
// longer line is cut, so a hostile server cannot make the message (and the
// dialog's layout of it) arbitrarily long.
inline constexpr qsizetype MaxChangeLogLines = 100;
inline constexpr qsizetype MaxChangeLogLineLength = 500;

// Parses both documents as the check reads them: UTF-8 (a byte-order mark is
// skipped), lines ending at CR LF, CR or LF. The version document's first line
// is cut at its first "/" into two whole numbers (blanks and a sign before the
// digits, nothing after them). Empty change-log lines are dropped (a line of
// blanks is kept), in one pass whatever the document's size.
// Returns the offer when minimum > runningVersion (forced: the out-of-date
// text) or else latest > runningVersion (the new-version text), each followed
// by "What's new:" and the change-log lines; nothing when there is no update
// or the version document is malformed. Texts are translated (Translate) and
// filled here. Never throws.
std::optional<TVersionOffer> ReadVersionDocuments(const QByteArray& version, const QByteArray& changes,
    int runningVersion);
