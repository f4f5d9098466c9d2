// Start-up bench: the configurator's window against three anchors (an empty window, a plain window
// with as many widgets of the same kinds, and the same plain window with the configurator's fonts and
// captions), and the command-line tool against an empty QCoreApplication. Every program is a binary of its
// own (an anchor carries none of the configurator's libraries), started fresh each time, the kinds
// interleaved run by run; medians.
//
//   gui_startup_bench [RUNS]          (default 21 runs of each)
//
// Time: from spawn to the child's "shown" line (a window's first paint handled), or to its exit (the
// tool). Memory: a window's peak resident set up to its first paint (its "shown" line says it), the
// tool's over its whole run (wait4); a window's whole-run peak is printed beside. Without a display
// the offscreen platform. The runtime folder (the window's single-instance lock) is on tmpfs, as a
// user's session has it: on a disk the lock's sync alone would weigh in.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Kind {
    const char* name;
    std::vector<std::string> argv;
    bool waitsForShown;
    std::vector<double> ms;
    std::vector<double> kib;
    std::vector<double> wholeKib;
};

bool runOnce(Kind& kind) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& a : kind.argv)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::strerror(rc));
        return false;
    }
    double ms = -1;
    double shownKib = 0;
    std::string seen;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
        seen.append(buf, size_t(n));
        const size_t at = seen.find("shown ");
        if (ms < 0 && kind.waitsForShown && at != std::string::npos &&
            seen.find('\n', at) != std::string::npos) {
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            shownKib = std::atof(seen.c_str() + at + 6);
        }
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!kind.waitsForShown)
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || ms < 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", kind.name, status);
        return false;
    }
    kind.ms.push_back(ms);
    kind.wholeKib.push_back(double(usage.ru_maxrss));
    kind.kib.push_back(kind.waitsForShown && shownKib > 0 ? shownKib : double(usage.ru_maxrss));
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 21;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A settings store and runtime folder of the bench's own: the user's settings stay untouched.
    char shm[] = "/dev/shm/zorel8z-startup-XXXXXX";
    char tmp[] = "/tmp/zorel8z-startup-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir)
        dir = mkdtemp(tmp);
    if (!dir)
        return 1;
    setenv("XDG_CONFIG_HOME", dir, 1);
    setenv("XDG_RUNTIME_DIR", dir, 1);

    // The configurator's fonts and captions, for the plain window that takes them on.
    const std::string texts = std::string(dir) + "/texts";
    if (std::system((std::string("'") + CONFIGURATOR + "' --texts > '" + texts + "' 2>/dev/null").c_str()) !=
        0)
        return 1;

    std::vector<Kind> kinds = {
        {"empty window", {EMPTY_WINDOW}, true, {}, {}, {}},
        {"plain window (262 widgets)", {PLAIN_WINDOW}, true, {}, {}, {}},
        {"configurator window", {CONFIGURATOR}, true, {}, {}, {}},
        {"plain window, its texts", {PLAIN_WINDOW, "--texts", texts}, true, {}, {}, {}},
        {"empty QCoreApplication", {EMPTY_CORE}, false, {}, {}, {}},
        {"zorel8z show", {CLI, "show", EXAMPLE}, false, {}, {}, {}},
    };
    // One unmeasured round first: the files are in the page cache for every measured run alike.
    for (Kind& k : kinds)
        if (!runOnce(k))
            return 1;
    for (Kind& k : kinds)
        k.ms.clear(), k.kib.clear(), k.wholeKib.clear();
    for (int r = 0; r < runs; ++r)
        for (Kind& k : kinds)
            if (!runOnce(k))
                return 1;

    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("platform %s, %d runs of each, interleaved (medians)\n", platform ? platform : "default",
                runs);
    for (const Kind& k : kinds) {
        std::printf("  %-28s %7.1f ms  %8.0f KiB peak", k.name, median(k.ms), median(k.kib));
        if (k.waitsForShown)
            std::printf(" at first paint, %.0f KiB over the whole run", median(k.wholeKib));
        std::printf("\n");
    }
    auto ratio = [&](int a, int b, bool time) {
        const double x = time ? median(kinds[size_t(a)].ms) : median(kinds[size_t(a)].kib);
        const double y = time ? median(kinds[size_t(b)].ms) : median(kinds[size_t(b)].kib);
        return x / y;
    };
    std::printf("configurator / empty window:  time %.2f  memory %.2f\n", ratio(2, 0, true),
                ratio(2, 0, false));
    std::printf("configurator / plain window:  time %.2f  memory %.2f\n", ratio(2, 1, true),
                ratio(2, 1, false));
    std::printf("configurator / plain window with its texts:  time %.2f  memory %.2f\n", ratio(2, 3, true),
                ratio(2, 3, false));
    std::printf("zorel8z show / empty core:    time %.2f  memory %.2f\n", ratio(5, 4, true),
                ratio(5, 4, false));
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
