#pragma once
// Splitting a text into lines, as every text file the program reads (the
// catalogue, the update server's documents) is read.

#include <QList>
#include <QStringView>

namespace platform {

// Lines end at CR LF, a lone CR or a lone LF; a break after the last line
// adds no line. The lines are views into text.
QList<QStringView> SplitLines(QStringView text);

} // namespace platform
