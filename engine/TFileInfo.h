#pragma once

#include <QString>

// One collected file. Owned by the scan window's FFiles; result rows refer to
// it until the next scan clears the results.
class TFileInfo {
public:
    // Reads the size of APath once; -1 when it cannot be read.
    explicit TFileInfo(const QString& APath);
    // For callers that already know the size (tests, listings that read it).
    TFileInfo(const QString& APath, qint64 ASize);

    QString FullPath;
    QString Name;        // after the last "/"
    qint64 Size = -1;
    QString ContentHash; // empty, or 40 lower-case hexadecimal digits of SHA-1
};
