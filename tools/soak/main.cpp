// soak: plays the sample video over a 10 x 10 wall in the real program and prints, per interval,
// the process's processor time, its resident memory and the content playback's frame counts; at
// the end the averages. A developer's tool, not part of the product and not run by CI.
//
//   soak [--seconds N] [--interval S] [--warmup S] [--decode-only] [--app-dir DIR]
//
// The program: the program's own start-up sequence under whatever display it gets (xvfb-run -a
// for the figures in docs/video.md), with a factory hook that makes the real main frame, applies
// a 500 x 300 mm model on a 5.05 x 4.05 m wall with a 1 m lampstand, fits it (10 columns, 10
// rows) and chooses "Sample Video" in the content box, as the parameter panel does.
// --decode-only: the anchor, the player alone decoding the sample in real time (its own rate,
// 30 fps) with no window and nothing drawn, looping at its end as the program does.
//
// Both wait for the first frame, then --warmup seconds (default 2), then measure --seconds
// (default 30), sampling every --interval seconds (default 10). Processor time is the whole
// process's user + system time (getrusage), all threads; the display server's own time is not
// included. Resident memory is /proc/self/statm's second field.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "Main/MainFrame.h"
#include "Main/MainFrameFactory.h"
#include "framework/os/SFAppDir.h"
#include "shell/Startup.h"
#include "video/SFVideoPlayer.h"
#include "video/qt/SFVideoWindow.h"

namespace {

constexpr char kSample[] = "Audio.mp4";
// How long the sample may take to show its first frame before the run gives up.
constexpr int kFirstFrameTimeoutS = 60;

struct Options {
    double seconds = 30;
    double interval = 10;
    double warmup = 2;
    bool decodeOnly = false;
};
Options g_options;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ResidentMb() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double LoadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

// The measured period: its start, the samples taken, and the summary printed at its end.
class Recorder {
public:
    explicit Recorder(const char* what) : m_what(what) {}

    void Start(int frames) {
        m_clock.start();
        m_cpu0 = CpuSeconds();
        m_frames0 = m_lastFrames = frames;
        m_rssFirst = m_rssMax = ResidentMb();
        std::printf("soak: %s, measuring %.0f s after %.0f s of warm-up; load average %.2f\n",
                    m_what, g_options.seconds, g_options.warmup, LoadAverage());
        std::printf("%8s %8s %7s %9s %8s %8s %8s %8s\n", "t_s", "cpu_s", "cpu_%", "rss_MB",
                    "frames", "waiting", "max_wait", "dropped");
    }
    double Elapsed() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e9; }
    bool Started() const { return m_clock.isValid(); }

    // One line: the interval's processor share, memory now, frames so far (counted from the
    // start of the period) and the queue (-1 where there is none).
    void Line(int frames, int waiting, int maxWaiting, int dropped) {
        const double t = Elapsed(), cpu = CpuSeconds() - m_cpu0, rss = ResidentMb();
        const double dt = t - m_lastT;
        const double share = dt > 0 ? 100.0 * (cpu - m_lastCpu) / dt : 0.0;
        m_rssLast = rss;
        m_rssMax = std::max(m_rssMax, rss);
        m_lastT = t;
        m_lastCpu = cpu;
        m_lastFrames = frames;
        std::printf("%8.1f %8.2f %7.1f %9.1f %8d %8d %8d %8d\n", t, cpu, share, rss,
                    frames - m_frames0, waiting, maxWaiting, dropped);
        std::fflush(stdout);
    }

    void Summary(int maxWaiting, int dropped) const {
        const double t = m_lastT;
        std::printf(
            "soak: %s: %.1f s, processor %.2f s = %.1f %% of one core, %.1f frames/s, "
            "resident first %.1f MB last %.1f MB max %.1f MB, largest queue seen %d, "
            "dropped %d; load average %.2f\n",
            m_what, t, m_lastCpu, t > 0 ? 100.0 * m_lastCpu / t : 0.0,
            t > 0 ? (m_lastFrames - m_frames0) / t : 0.0, m_rssFirst, m_rssLast, m_rssMax,
            maxWaiting, dropped, LoadAverage());
        std::fflush(stdout);
    }

private:
    const char* m_what;
    QElapsedTimer m_clock;
    double m_cpu0 = 0, m_lastT = 0, m_lastCpu = 0;
    double m_rssFirst = 0, m_rssLast = 0, m_rssMax = 0;
    int m_frames0 = 0, m_lastFrames = 0;
};

// ---- The anchor: the player alone.

std::atomic<int> g_decoded{0};
SF_SOFT_BASE::CSFVideoPlayer* g_player = nullptr;

void OnDecoded(int, const uint8_t*, int, int, int, int, SF_SOFT_BASE::ESFColorMatrix,
               SF_SOFT_BASE::ESFColorRange, int, void*) {
    g_decoded.fetch_add(1, std::memory_order_relaxed);
}

// The program rewinds at the end too: the sample loops.
void OnFileEnd(int, void*) {
    g_player->SetPosition(0.0f);
}

int RunDecodeOnly() {
    SF_SOFT_BASE::CSFVideoPlayer player;
    g_player = &player;
    if (player.Open(kSample) == 0) {
        std::fprintf(stderr, "soak: cannot open the sample %s\n", kSample);
        return 1;
    }
    player.SetDecodeCallback(&OnDecoded, nullptr);
    player.SetFileEndCallback(&OnFileEnd, nullptr);
    player.Play();
    const auto tick = std::chrono::milliseconds(50);
    for (int waited = 0; g_decoded.load() == 0; ++waited) {
        if (waited * 50 > kFirstFrameTimeoutS * 1000) {
            std::fputs("soak: the player delivered no frame\n", stderr);
            return 1;
        }
        std::this_thread::sleep_for(tick);
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(g_options.warmup));
    Recorder recorder("decoding alone");
    recorder.Start(g_decoded.load());
    for (double next = g_options.interval; next <= g_options.seconds + 1e-9;
         next += g_options.interval) {
        while (recorder.Elapsed() < next) {
            std::this_thread::sleep_for(tick);
        }
        recorder.Line(g_decoded.load(), -1, -1, -1);
    }
    recorder.Summary(-1, -1);
    player.Close();
    g_player = nullptr;
    return 0;
}

// ---- The program.

std::shared_ptr<CMainFrameEventImp> g_frame;
std::unique_ptr<Recorder> g_recorder;
int g_maxWaiting = 0;
int g_result = 1;
bool g_done = false;  // the summary or a failure was printed; the window is closing

// Every 100 ms on the GUI thread: the queue's largest size seen (a cheap read of counters),
// the first frame, the end of the warm-up, the interval lines and the end of the run.
void Poll() {
    static QElapsedTimer sinceFirstFrame, sinceChoice;
    static double nextLine = 0;
    if (g_done) {
        return;
    }
    if (!sinceChoice.isValid()) {
        sinceChoice.start();
    }
    const CMainFrameEventImp::PlaybackStats stats = g_frame->Playback();
    if (stats.unavailable) {
        std::fputs("soak: the window says no video can be shown\n", stderr);
        g_done = true;
        g_frame->Close();
        return;
    }
    if (stats.drawn == 0) {
        if (sinceChoice.elapsed() > kFirstFrameTimeoutS * 1000) {
            std::fputs("soak: no frame was drawn\n", stderr);
            g_done = true;
            g_frame->Close();
        }
        return;
    }
    if (!sinceFirstFrame.isValid()) {
        sinceFirstFrame.start();
    }
    if (sinceFirstFrame.elapsed() < static_cast<qint64>(g_options.warmup * 1000)) {
        return;
    }
    g_maxWaiting = std::max(g_maxWaiting, stats.waiting);
    if (!g_recorder) {
        if (CSFVideoWindow* window = g_frame->VideoWindow()) {
            if (auto* widget = static_cast<QWidget*>(window->GetUIWnd())) {
                std::printf("soak: the video window is %d x %d\n", widget->width(),
                            widget->height());
            }
        }
        g_recorder = std::make_unique<Recorder>("the program, 10 x 10 wall");
        g_recorder->Start(stats.drawn);
        nextLine = g_options.interval;
        return;
    }
    const bool end = g_recorder->Elapsed() >= g_options.seconds;
    if (g_recorder->Elapsed() >= nextLine || end) {
        g_recorder->Line(stats.drawn, stats.waiting, g_maxWaiting, stats.dropped);
        nextLine += g_options.interval;
    }
    if (end) {
        g_recorder->Summary(g_maxWaiting, stats.dropped);
        std::printf("soak: frames out of order: %s, rewinds: %d\n", stats.inOrder ? "none" : "some",
                    stats.rewinds);
        g_result = stats.inOrder ? 0 : 1;
        g_done = true;
        g_frame->Close();
    }
}

void Setup() {
    // Qt adopted the environment's locale; the figures are printed in the C locale.
    std::setlocale(LC_NUMERIC, "C");
    // 10 panels of 0.5 m in 5.05 m, and 10 of 0.3 m above a 1 m lampstand in 4.05 m.
    g_frame->ApplyModel(L"soak 500 x 300", 500, 300);
    g_frame->ApplyWallSize(5.05, 4.05);
    g_frame->ApplyFitToRoom();
    QCoreApplication::processEvents();
    const WallDesign& design = g_frame->Design();
    if (design.columns != 10 || design.rows != 10) {
        std::fprintf(stderr, "soak: the wall is %d x %d, not 10 x 10\n", design.columns,
                     design.rows);
        g_frame->Close();
        return;
    }
    g_frame->ChooseContent(kContentVideo);
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, &Poll);
    poll->start(100);
}

std::shared_ptr<tessaro::IMainFrame> CreateFrameForSoak() {
    std::shared_ptr<tessaro::IMainFrame> frame = CreateMainFrame();
    g_frame = std::dynamic_pointer_cast<CMainFrameEventImp>(frame);
    if (!g_frame) {
        std::fputs("soak: the main frame factory made no CMainFrameEventImp\n", stderr);
        return frame;
    }
    QTimer::singleShot(0, &Setup);
    // The program releases its main frame before the application object goes; this tool's
    // reference must not outlive it (its timers would then stop without a thread to run on).
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { g_frame.reset(); });
    return frame;
}

bool ReadSeconds(const char* text, double& out) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= 0)) {
        return false;
    }
    out = value;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string appDir = TESSARO_APP_DIR;
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue) {
            ok = ReadSeconds(argv[++i], g_options.seconds);
        } else if (arg == "--interval" && hasValue) {
            ok = ReadSeconds(argv[++i], g_options.interval) && g_options.interval > 0;
        } else if (arg == "--warmup" && hasValue) {
            ok = ReadSeconds(argv[++i], g_options.warmup);
        } else if (arg == "--app-dir" && hasValue) {
            appDir = argv[++i];
        } else if (arg == "--decode-only") {
            g_options.decodeOnly = true;
        } else {
            ok = false;
        }
    }
    if (!ok) {
        std::fputs(
            "usage: soak [--seconds N] [--interval S] [--warmup S] [--decode-only] "
            "[--app-dir DIR]\n",
            stderr);
        return 2;
    }
    SF_SOFT_BASE::SetApplicationDirectory(appDir);
    if (g_options.decodeOnly) {
        return RunDecodeOnly();
    }
    char* appArgv[] = {argv[0], nullptr};
    if (tessaro::RunApplication(1, appArgv, &CreateFrameForSoak) != 0) {
        return 1;
    }
    g_recorder.reset();
    g_frame.reset();
    return g_result;
}
