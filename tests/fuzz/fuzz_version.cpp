// The update server's two documents: the version document up to the first
// NUL byte of the input, the change log after it.

#include "FuzzTarget.h"

#include "update/VersionDocuments.h"

#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = bytes.indexOf('\0');
    const QByteArray version = cut < 0 ? bytes : bytes.left(cut);
    const QByteArray changes = cut < 0 ? QByteArray() : bytes.mid(cut + 1);
    const std::optional<TVersionOffer> offer = ReadVersionDocuments(version, changes, 23);
    if (!offer)
        return 0;
    if (!offer->Message.endsWith(QStringLiteral("\r\n")))
        FuzzPropertyFailed("a message without its change-log tail");
    // The head, a blank line, "What's new:", then the bounded lines.
    const QStringList lines = offer->Message.split(QStringLiteral("\r\n"));
    if (lines.size() > MaxChangeLogLines + 4)
        FuzzPropertyFailed("more change-log lines than the bound");
    for (qsizetype i = 3; i < lines.size(); ++i) {
        if (lines[i].size() > MaxChangeLogLineLength || lines[i].contains(u'\r') || lines[i].contains(u'\n'))
            FuzzPropertyFailed("a change-log line over the bound or with a line break");
    }
    return 0;
}
