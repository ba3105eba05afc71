#include "support/ChildProcess.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int RunInChild(const std::function<int()>& prepare, const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return 127;
    if (pid == 0) {
        if (const int failed = prepare())
            ::_exit(failed);
        int result = 1;
        try {
            result = body();
        } catch (...) {
            result = 1;
        }
        ::_exit(result);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return 1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

int RunWithOpenFileLimit(int limit, const std::function<int()>& body)
{
    return RunInChild(
        [limit] {
            const struct rlimit lim { rlim_t(limit), rlim_t(limit) };
            return ::setrlimit(RLIMIT_NOFILE, &lim) == 0 ? 0 : 127;
        },
        body);
}

int OpenDescriptorCount()
{
    DIR* d = ::opendir("/proc/self/fd");
    if (!d)
        return -1;
    int n = 0;
    while (const dirent* de = ::readdir(d))
        if (de->d_name[0] != '.')
            ++n;
    ::closedir(d);
    return n - 1; // the listing's own
}
