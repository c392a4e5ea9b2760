// Runs a program to its end and prints its wall time in milliseconds, its peak resident memory
// in kilobytes and its exit status. A peak read by the benchmark itself would start at the
// benchmark's own size (the kernel carries the spawning process's peak over to the spawned
// one); spawned from this small process, the figure is the program's own.

#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) return 2;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return 2;
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::printf("%.3f %ld %d\n", elapsed.count(), usage.ru_maxrss, code);
    return 0;
}
