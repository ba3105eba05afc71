#include "support/OtherUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

int RunUnprivileged(const std::function<int()>& body)
{
    if (::geteuid() != 0)
        return body();
    const pid_t pid = ::fork();
    if (pid < 0)
        return kCannotDropRoot;
    if (pid == 0) {
        const uid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0
            || ::setresuid(nobody, nobody, nobody) != 0 || ::geteuid() == 0)
            ::_exit(kCannotDropRoot);
        int result = 1;
        try {
            result = body();
        } catch (...) {
            result = 1;
        }
        ::_exit(result);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return 1;
    return WEXITSTATUS(status);
}

void MakeReachable(const QString& folder)
{
    const QString temp = QDir::cleanPath(QDir::tempPath());
    for (QString p = QDir::cleanPath(folder); p.startsWith(temp) && p.size() > temp.size(); p = QFileInfo(p).path())
        ::chmod(QFile::encodeName(p).constData(), 0755);
}
