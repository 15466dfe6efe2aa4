// Starts a program with exactly the argument vector that follows its path, even an empty one, which
// no shell and no Python call can give: exec_with_argv PROGRAM [ARGV0 [ARGV1 ...]]
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: exec_with_argv PROGRAM [ARGV0 [ARGV1 ...]]\n");
        return 2;
    }
    execv(argv[1], argv + 2);
    std::perror(argv[1]);
    return 127;
}
