// Runs a command once, its output discarded, and prints three numbers: its
// wall time and its CPU time (user + system) in microseconds, and its peak
// resident memory in kilobytes.
//
//   tavvo-run-usage COMMAND [ARGUMENT...]
//
// The CPU time and the memory are the kernel's own accounting of the child
// (wait4), which counts microseconds where GNU time prints hundredths of a
// second, too coarse for runs of a few tens of milliseconds. A child's peak
// memory includes what its parent had mapped when it was started, so this
// program stays small: the C library only. Exits 1, printing nothing on
// standard output, when the command cannot be run or fails.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

long long microseconds(const timeval& time)
{
    return static_cast<long long>(time.tv_sec) * 1'000'000 + time.tv_usec;
}

long long microseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1'000'000 + time.tv_nsec / 1'000;
}

}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: tavvo-run-usage COMMAND [ARGUMENT...]\n", stderr);
        return EXIT_FAILURE;
    }
    posix_spawn_file_actions_t discard;
    posix_spawn_file_actions_init(&discard);
    posix_spawn_file_actions_addopen(&discard, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&discard, 2, "/dev/null", O_WRONLY, 0);

    timespec start {}, end {};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = 0;
    int const error = posix_spawnp(&child, argv[1], &discard, nullptr, argv + 1, environ);
    if (error != 0) {
        std::fprintf(stderr, "tavvo-run-usage: cannot run %s: %s\n", argv[1], std::strerror(error));
        return EXIT_FAILURE;
    }
    int status = 0;
    rusage usage {};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("tavvo-run-usage: wait4");
            return EXIT_FAILURE;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "tavvo-run-usage: %s ended by signal %d\n", argv[1], WTERMSIG(status));
        return EXIT_FAILURE;
    }
    if (WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "tavvo-run-usage: %s failed with status %d\n", argv[1], WEXITSTATUS(status));
        return EXIT_FAILURE;
    }
    std::printf("%lld %lld %ld\n", microseconds(end) - microseconds(start),
        microseconds(usage.ru_utime) + microseconds(usage.ru_stime), usage.ru_maxrss);
    return EXIT_SUCCESS;
}
