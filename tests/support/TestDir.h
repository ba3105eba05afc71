#pragma once
// A temporary folder for one test, removed with the object. Every helper takes
// a path relative to the folder ("a/b.txt"), creates missing parent folders,
// and returns the absolute path of what it made. A helper that cannot do its
// work ends the test program with a message (qFatal): a fixture that is not
// there would only make the test report nonsense.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TestDir {
public:
    TestDir();
    // Removes the whole tree with native calls, so names that are not valid
    // UTF-8 and entries without permissions go too.
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    // The folder itself, without a trailing "/".
    QString path() const;
    // path() + "/" + rel.
    QString path(const QString& rel) const;
    // path(rel) + "/": a folder as the folder list holds it.
    QString folder(const QString& rel = QString()) const;

    // A regular file with exactly these bytes.
    QString createFile(const QString& rel, const QByteArray& content);
    // A regular file of size bytes, every byte fill.
    QString createFile(const QString& rel, qint64 size, char fill = 'x');
    // A file of size bytes that takes no disk space (a hole; reads as zeros),
    // for sizes of gigabytes.
    QString createSparseFile(const QString& rel, qint64 size);
    QString createDir(const QString& rel);
    // A symbolic link at rel whose content is target, used as given: a
    // relative target is resolved from the link's folder.
    QString createLink(const QString& target, const QString& rel);
    // A second name (hard link) at rel for the existing file existingRel.
    QString createHardLink(const QString& existingRel, const QString& rel);
    QString createFifo(const QString& rel);
    // rel/d/d/.../d (depth levels) holding fileName with content, made level by
    // level, so it may go past the longest path the system accepts at once.
    // Returns the file's absolute native path.
    QByteArray createDeepChain(const QString& rel, int depth, const QByteArray& fileName, const QByteArray& content);

    // A file whose name is given as raw bytes (relNative is relative, native
    // encoding), so the name may be invalid UTF-8. Returns the absolute native
    // path; such a name has no faithful QString.
    QByteArray createRawFile(const QByteArray& relNative, const QByteArray& content);
    // A folder whose name is given as raw bytes, like createRawFile; its
    // parents are created. Returns the absolute native path.
    QByteArray createRawDir(const QByteArray& relNative);
    QByteArray nativePath() const;

    // Removes a file, link or (recursively) folder; true when it is gone.
    bool remove(const QString& rel);

private:
    void makeParent(const QString& rel);
    QTemporaryDir FDir;
};
