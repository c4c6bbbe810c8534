// Start-up time of the whole program: from launch to the first painted main window, as whole
// processes under the offscreen platform, for build/bin/tessaro (with
// TESSARO_QUIT_AFTER_FIRST_PAINT, it ends itself once its main window was painted) against the
// anchor bare_window (QApplication and one shown QWidget, the same Qt modules, ending the same
// way). The runs alternate between the two, so a busy moment of the machine falls on both; each
// figure is the median of its runs, after one unmeasured warm-up run of each (page cache).
// Each child prints the monotonic time right after its first paint pass; the figure is that
// moment minus the launch. Launch to process exit (teardown included) is printed too.
//
// Target: tessaro within 1.5x of the anchor. A second reference, bare_window --text (the same
// window drawing one line of text), shows what the first text alone costs (the font database,
// fontconfig, shaping), which any window with words pays; it is printed, not a target.
//
//   startup_bench [runs]      (default 15 runs of each)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kTimeoutMs = 30000;

// The parent's environment with the offscreen platform and the quit hook set.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*e, "TESSARO_QUIT_AFTER_FIRST_PAINT=", 31) != 0) {
            env.emplace_back(*e);
        }
    }
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
    env.emplace_back("TESSARO_QUIT_AFTER_FIRST_PAINT=1");
    return env;
}

struct Timing {
    double firstPaintMs = -1;  // launch to the end of the first paint pass
    double exitMs = -1;        // launch to process exit
};

// Runs exe to its end; negative times when it could not start, failed, printed no first-paint
// moment, or did not end within the timeout (it is then killed).
Timing TimeRun(const char* exe, const char* arg, const std::vector<std::string>& envStrings) {
    std::vector<char*> env;
    for (const std::string& s : envStrings) {
        env.push_back(const_cast<char*>(s.c_str()));
    }
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(exe), const_cast<char*>(arg), nullptr};

    int out[2];
    if (pipe(out) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawn(&pid, exe, &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        std::fprintf(stderr, "startup_bench: cannot start %s: %s\n", exe, std::strerror(spawned));
        return {};
    }
    // A pidfd wakes the wait exactly when the child ends, with a timeout for a hung child.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd fd{pidfd, POLLIN, 0};
        const int ready = poll(&fd, 1, kTimeoutMs);
        close(pidfd);
        if (ready == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            std::fprintf(stderr, "startup_bench: %s did not end within %d ms\n", exe, kTimeoutMs);
            close(out[0]);
            return {};
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Timing t;
    t.exitMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_bench: %s failed (status %d)\n", exe, status);
        return {};
    }
    // steady_clock is the monotonic clock the children print.
    const size_t at = text.find("first-paint-ns ");
    if (at == std::string::npos) {
        std::fprintf(stderr, "startup_bench: %s printed no first-paint moment\n", exe);
        return {};
    }
    const long long paintedNs = std::atoll(text.c_str() + at + 15);
    const long long startNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    t.firstPaintMs = static_cast<double>(paintedNs - startNs) / 1e6;
    return t;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::vector<std::string> env = ChildEnvironment();
    struct Program {
        const char* label;
        const char* exe;
        const char* arg;                // null: none
        std::vector<double> times;      // launch to first paint
        std::vector<double> exitTimes;  // launch to exit
    };
    Program anchor{"bare_window", BARE_WINDOW_EXE, nullptr, {}, {}};
    Program text{"  --text", BARE_WINDOW_EXE, "--text", {}, {}};
    Program tessaro{"tessaro", TESSARO_EXE, nullptr, {}, {}};

    for (Program* p : {&anchor, &text, &tessaro}) {
        if (TimeRun(p->exe, p->arg, env).firstPaintMs < 0) {
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i) {
        for (Program* p : {&anchor, &text, &tessaro}) {
            const Timing t = TimeRun(p->exe, p->arg, env);
            if (t.firstPaintMs < 0) {
                return 1;
            }
            p->times.push_back(t.firstPaintMs);
            p->exitTimes.push_back(t.exitMs);
        }
    }

    std::printf("launch to first painted window (offscreen), %d runs each, interleaved\n", runs);
    std::printf("%-12s %10s %10s %10s %14s\n", "", "median ms", "min ms", "max ms",
                "to exit (med)");
    for (const Program* p : {&anchor, &text, &tessaro}) {
        std::printf("%-12s %10.1f %10.1f %10.1f %14.1f\n", p->label, Median(p->times),
                    *std::min_element(p->times.begin(), p->times.end()),
                    *std::max_element(p->times.begin(), p->times.end()), Median(p->exitTimes));
    }
    const double ratio = Median(tessaro.times) / Median(anchor.times);
    std::printf("tessaro / bare_window: %.2fx (target <= 1.5x: %s)\n", ratio,
                ratio <= 1.5 ? "met" : "NOT met");
    std::printf("tessaro / bare_window --text: %.2fx (a reference)\n",
                Median(tessaro.times) / Median(text.times));
    return 0;
}
