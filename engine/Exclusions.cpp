#include "engine/Exclusions.h"

#include "engine/TrimBlanks.h"

#include <cstring>

#include <fnmatch.h>

ExclusionSet::ExclusionSet(const QStringList& patterns)
{
    for (const QString& p : patterns) {
        const QString pattern = TrimBlanks(p);
        QByteArray native = pattern.toUtf8();
        if (native.isEmpty() || native.contains('\0') || native == "/")
            continue;
        FPatterns.append(pattern);
        const qsizetype slash = native.indexOf('/');
        if (slash < 0) {
            FNamePatterns.push_back(native);
        } else if (slash == native.size() - 1) {
            native.chop(1);
            FFolderNamePatterns.push_back(native);
        } else {
            FPathPatterns.push_back(native);
        }
    }
}

namespace {

bool Matches(const QByteArray& pattern, const char* text)
{
    return ::fnmatch(pattern.constData(), text, 0) == 0;
}

} // namespace

bool ExclusionSet::Excludes(QByteArrayView relativeFolder, const char* name, bool folder) const
{
    for (const QByteArray& p : FNamePatterns)
        if (Matches(p, name))
            return true;
    if (folder)
        for (const QByteArray& p : FFolderNamePatterns)
            if (Matches(p, name))
                return true;
    if (FPathPatterns.empty())
        return false;
    // "/" + path, then the same with a "/" after it for a folder; each tried
    // with and without the leading "/".
    QByteArray path;
    path.reserve(relativeFolder.size() + qsizetype(std::strlen(name)) + 2);
    path += '/';
    path += relativeFolder;
    path += name;
    for (const QByteArray& p : FPathPatterns) {
        if (Matches(p, path.constData()) || Matches(p, path.constData() + 1))
            return true;
    }
    if (!folder)
        return false;
    path += '/';
    for (const QByteArray& p : FPathPatterns)
        if (Matches(p, path.constData()) || Matches(p, path.constData() + 1))
            return true;
    return false;
}

bool ExclusionSet::ExcludesPath(QByteArrayView relativePath, bool folder) const
{
    const qsizetype slash = relativePath.lastIndexOf('/');
    const QByteArray name = relativePath.sliced(slash + 1).toByteArray();
    return Excludes(relativePath.first(slash + 1), name.constData(), folder);
}

QStringList ParseExclusions(const QString& text)
{
    QStringList patterns;
    QString t = text;
    t.replace(u'\n', u';');
    t.replace(u'\r', u';');
    for (const QString& piece : t.split(u';')) {
        const QString p = TrimBlanks(piece);
        if (!p.isEmpty())
            patterns.append(p);
    }
    return patterns;
}
