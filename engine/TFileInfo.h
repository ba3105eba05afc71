#pragma once
// One collected file, held compactly: at hundreds of thousands of files the
// records are most of the program's memory.
//
// A record made by collection points into its listing's storage (the folder
// prefix once per folder, the name once per file) and owns nothing; a record
// made alone (tests, tools) owns its texts. Either way the path is the folder
// prefix, ending in "/", followed by the name, both in the native encoding
// (UTF-8: collection takes no other name). The digest is kept as its 20 bytes
// and written as text only where text is asked for.

#include "platform/core/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>

using Sha1Digest = std::array<unsigned char, 20>;

class TFileInfo {
public:
    // A record that owns its path; the size is read once (-1 when it cannot
    // be), and of a regular file (not a link) the identity and time too.
    explicit TFileInfo(const QString& APath);
    // The same, for callers that know the size.
    TFileInfo(const QString& APath, qint64 ASize);
    // A record over storage that outlives it (collection's listings): prefix
    // is the folder ending in "/", name the last component, both NUL-free.
    TFileInfo(const QByteArray* prefix, const char* name, quint32 nameLength, qint64 size,
        const platform::FileId& id, qint64 modified, qint64 changed = 0) noexcept;
    ~TFileInfo();
    TFileInfo(const TFileInfo&) = delete;
    TFileInfo& operator=(const TFileInfo&) = delete;

    QString FullPath() const;
    QString Name() const; // after the last "/"
    QByteArray NativePath() const;
    QByteArrayView NativeName() const { return QByteArrayView(FName, qsizetype(FNameLength)); }
    const QByteArray& NativeFolder() const { return *FPrefix; }

    qint64 Size = -1;
    platform::FileId Id;  // as collection read it; zero when unknown
    qint64 Modified = 0;  // nanoseconds since the epoch, as collection read it
    // The status change time, the same way. Unlike the modification time it
    // cannot be set back by a program, so it is the one that tells a file
    // rewritten with its old time restored.
    qint64 Changed = 0;
    // Files of equal bytes share a number; 0 when nothing compared the bytes
    // (the digest alone then tells contents apart).
    quint32 ContentSet = 0;
    // Met in a reference folder (by any path): never checked, never removed.
    bool Reference = false;

    // ContentHash: the empty text, or 40 lower-case hexadecimal digits.
    bool HasContentHash() const { return FHasDigest; }
    QString ContentHash() const;
    const Sha1Digest& Digest() const { return FDigest; }
    void SetDigest(const Sha1Digest& digest)
    {
        FDigest = digest;
        FHasDigest = true;
    }
    // Takes 40 hexadecimal digits; any other text clears the digest.
    void SetContentHash(const QString& hex);
    void ClearContentHash()
    {
        FHasDigest = false;
        ContentSet = 0;
    }

private:
    const QByteArray* FPrefix;
    const char* FName;
    quint32 FNameLength = 0;
    bool FOwned = false;
    bool FHasDigest = false;
    Sha1Digest FDigest {};
};
