#include "support/KilledWhileWriting.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

bool killedWhileWriting(const std::function<void()>& work, qint64 limit)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        // No core file: the end is meant.
        const struct rlimit noCore = {0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const struct rlimit size = {rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &size);
        work();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ;
}
