#include "support/OtherUser.h"

#include "support/ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

int RunUnprivileged(const std::function<int()>& body)
{
    if (::geteuid() != 0)
        return body();
    const int result = RunInChild(
        [] {
            const uid_t nobody = 65534;
            return ::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0
                    || ::setresuid(nobody, nobody, nobody) != 0 || ::geteuid() == 0
                ? kCannotDropRoot
                : 0;
        },
        body);
    // A child that could not even start could not drop root either; one that
    // died by a signal failed.
    return result == 127 ? kCannotDropRoot : result > 128 ? 1 : result;
}

void MakeReachable(const QString& folder)
{
    const QString temp = QDir::cleanPath(QDir::tempPath());
    for (QString p = QDir::cleanPath(folder); p.startsWith(temp) && p.size() > temp.size(); p = QFileInfo(p).path())
        ::chmod(QFile::encodeName(p).constData(), 0755);
}
