#pragma once
// Text bound for a terminal or a log.
//
// File names, folder arguments, masks and error texts come from outside and
// may hold any character. Written raw, "ESC ] 2 ; ... BEL" would set the
// terminal's title, "ESC [ 2 J" clear it, and a newline split one log line in
// two. Every text twinlens-cli writes to standard error passes through
// TerminalSafe first; the only control characters on standard error are the
// program's own line ends and, on a terminal that takes them, its redraws.

#include <QByteArrayView>
#include <QString>

// The text with every C0 control (U+0000 to U+001F), DEL (U+007F), C1
// control (U+0080 to U+009F) and lone surrogate replaced by a visible escape:
// "\xHH" for C0 and DEL, "\u00HH" for C1, "\uHHHH" for a lone surrogate.
// Everything else, including every other non-ASCII character, is unchanged.
QString TerminalSafe(const QString& text);

// Native bytes (a name as the file system holds it, which need not be valid
// UTF-8): well-formed UTF-8 reads as itself, each byte of an ill-formed
// sequence (stray continuation bytes, overlong forms, encoded surrogates,
// values above U+10FFFF, a cut sequence) becomes "\xHH"; then as above.
QString TerminalSafeNative(QByteArrayView native);

// Length of the well-formed UTF-8 sequence at p, of the left bytes there
// (Unicode, table 3-7: no overlong form, no surrogate, nothing above
// U+10FFFF, nothing cut), or 0.
int WellFormedUtf8Length(const unsigned char* p, qsizetype left);

// Whether standard error takes escape sequences: it is a terminal, and TERM is
// set and not "dumb". Otherwise status goes out as plain lines.
bool StderrTakesEscapes();

// Writes "twinlens-cli: " and TerminalSafe(text) as one line to standard
// error. A failed write (standard error closed, or a pipe nobody reads) is
// ignored: a message must never end the run.
void Say(const QString& text);
