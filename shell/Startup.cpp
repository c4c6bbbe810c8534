#include "shell/Startup.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <fontconfig/fontconfig.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "framework/SFMessageLoop.h"
#include "framework/SFTask.h"
#include "framework/SFThreadEx.h"
#include "framework/os/SFAppDir.h"
#include "framework/os/SFStreamConvert.h"
#include "framework/os/SFThread.h"
#include "shell/AppSettings.h"
#include "shell/ConfigPersistent.h"
#include "shell/CrashHandler.h"
#include "shell/LogLibrary.h"
#include "shell/QtTranslation.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFSkin.h"
#include "toolkit/SFToolkit.h"

Q_LOGGING_CATEGORY(lcStartup, "tessaro.startup")

namespace tessaro {
namespace {

// Qt aborts with a backtrace when the default platform has no display; say it in one line.
bool DisplayAvailable() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// A request from outside to end the program (SIGTERM from the session or `kill`, SIGINT from a
// terminal) closes the main window as its close button does, so the program shuts down the usual
// way and returns 0. The handler only writes to a pipe (async-signal-safe); the GUI thread reads
// it and calls close. The previous handlers come back when this object goes.
class CloseOnTermination {
public:
    explicit CloseOnTermination(std::function<void()> close) {
        if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            s_pipe[0] = s_pipe[1] = -1;
            return;
        }
        struct sigaction action {};
        action.sa_handler = &CloseOnTermination::Handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, &m_previousTerm);
        ::sigaction(SIGINT, &action, &m_previousInt);
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [close = std::move(close)] {
            char drained[16];
            while (::read(s_pipe[0], drained, sizeof drained) > 0) {
            }
            close();
        });
    }
    ~CloseOnTermination() {
        if (s_pipe[0] < 0) {
            return;
        }
        ::sigaction(SIGTERM, &m_previousTerm, nullptr);
        ::sigaction(SIGINT, &m_previousInt, nullptr);
        m_notifier.reset();
        ::close(s_pipe[0]);
        ::close(s_pipe[1]);
        s_pipe[0] = s_pipe[1] = -1;
    }
    CloseOnTermination(const CloseOnTermination&) = delete;
    CloseOnTermination& operator=(const CloseOnTermination&) = delete;

private:
    static void Handler(int) {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
        errno = saved;
    }

    static inline int s_pipe[2] = {-1, -1};
    struct sigaction m_previousTerm {};
    struct sigaction m_previousInt {};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace

int RunApplication(int argc, char** argv, MainFrameFactory createMainFrame,
                   const std::vector<std::wstring>& firstPaintImages) {
    // Diagnostics are for developers: silent unless QT_LOGGING_RULES asks for them (the
    // environment's rules take precedence over these).
    QLoggingCategory::setFilterRules(QStringLiteral("tessaro.*=false"));
    if (!DisplayAvailable()) {
        std::fputs(
            "tessaro: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
            "to run without one, use: xvfb-run -a scripts/run\n",
            stderr);
        return 1;
    }

    // 0. Fontconfig reads its configuration and font caches (some milliseconds) when Qt first
    //    measures a text; read here on a thread of their own, they overlap the steps below. The
    //    thread is joined before the main frame measures its first text, so fontconfig is never
    //    set up by two threads at once (each would read everything).
    std::jthread fontconfigSetup([] { FcInit(); });

    // 1. The application object. The desktop file name is the id of the installed desktop entry
    //    (data/desktop), so the window system matches the window to its menu entry and icon.
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSARO_APP_ID));
    qCInfo(lcStartup, "1 application");

    // 2. The toolkit works on this application object.
    SFSetApplication(&app);
    qCInfo(lcStartup, "2 toolkit");
    // 3. Qt 6 decodes narrow literals and byte arrays as UTF-8 already: there is no codec for
    //    C strings to set.

    // 4. From here on a crash writes a core dump beside the executable and ends the process.
    InstallCrashHandler(true);
    qCInfo(lcStartup, "4 crash handler");

    // 5. Task tracing off: no trace line is ever produced by the application.
    OrvexBase::TaskTraceEnabled = 0;
    OrvexBase::SetTaskTraceLevel(0);
    qCInfo(lcStartup, "5 task trace off");

    // 6. Plug-ins may lie beside the data.
    SFAddAppDirToLibraryPaths();
    qCInfo(lcStartup, "6 library paths");

    // 7. The application directory, wide and in the locale's encoding.
    const std::wstring appPath = SFGetAppPath();
    const std::string appDir = SF_SOFT_BASE::CSFStreamConvert::ToNarrow(appPath);
    qCInfo(lcStartup, "7 application directory %s", appDir.c_str());

    // 8. The style sheet of the standard Qt parts; 9. where every skin image is looked up.
    SFLoadStyleSheet((appPath + L"/Tessaro.css").c_str());
    qCInfo(lcStartup, "8 style sheet");
    SFSetSkinPath((appPath + L"/Skin/").c_str());
    qCInfo(lcStartup, "9 skin directory");
    // The main window's images are decoded on a thread of their own while it is built.
    if (!firstPaintImages.empty()) {
        SFPrefetchSkinImages(firstPaintImages);
    }

    // 10. The settings file, loaded from and saved to the same place. An installed program's
    //     data (../share/tessaro) belongs to the package manager, even where this user could
    //     write there (root): its settings go to the user's configuration folder, so removing
    //     the package leaves nothing behind.
    const std::string settingsPath = SettingsFilePath(appDir, SF_SOFT_BASE::IsInstalledProgram());
    // The store lives for the rest of the process (the language tables and the tool bar read
    // through it); a second run in the same process replaces it.
    static std::unique_ptr<CConfigXMLPersistImp> store;
    store = std::make_unique<CConfigXMLPersistImp>(
        SF_SOFT_BASE::CSFStreamConvert::ToWide(settingsPath).c_str());
    g_configPersistent = store.get();
    qCInfo(lcStartup, "10 settings file %s", settingsPath.c_str());

    // 11. Load the settings; 12. the language follows them.
    g_appSettings.SetFilePath(settingsPath);
    g_appSettings.LoadSettings();
    CurrentLanguage = g_appSettings.m_language;
    qCInfo(lcStartup, "12 language %d", CurrentLanguage);

    // 13. Qt's own texts in Chinese when the language is not English.
    if (CurrentLanguage != 0) {
        const bool installed = InstallQtTranslation(CurrentLanguage);
        qCInfo(lcStartup, "13 Qt translation %s", installed ? "installed" : "absent");
    }

    // 14. The log library, when there is one.
    LoadLogLibrary();
    qCInfo(lcStartup, "14 log library %s", LogLibraryLoaded() ? "bound" : "absent");

    // 15. The main message loop, driven by the Qt event loop of this thread.
    std::shared_ptr<OrvexBase::CSFMessageLoop> mainLoop =
        OrvexBase::CSFMessageLoop::CreateMessageLoop(0);
    mainLoop->SetThreadId(SF_SOFT_BASE::CSFThread::GetCurrentThreadID());
    OrvexBase::CSFMessageLoopManager::GetInstance()->AddMessageLoop(mainLoop, OrvexBase::ML_MAIN);
    qCInfo(lcStartup, "15 ML_MAIN registered");

    // 16. The helper thread with its own loop; Start returns once the thread runs.
    std::shared_ptr<OrvexBase::CSFThreadEx_Qt> helper = OrvexBase::CSFThreadEx_Qt::Create({1, 0});
    helper->Start();
    OrvexBase::CSFMessageLoopManager::GetInstance()->AddMessageLoop(helper->GetMessageLoop(),
                                                                    OrvexBase::ML_HELPER);
    qCInfo(lcStartup, "16 ML_HELPER started");

    fontconfigSetup.join();
    // 17. The main frame, shown. From then on SIGTERM and SIGINT close it instead of killing the
    //     process.
    std::shared_ptr<IMainFrame> mainFrame = createMainFrame();
    if (mainFrame) {
        mainFrame->ShowWindow(1);
    }
    const CloseOnTermination closeOnTermination([&mainFrame] {
        if (mainFrame) {
            mainFrame->Close();
        }
    });
    qCInfo(lcStartup, "17 main frame shown");

    // 18. The event loop, until the main window closes.
    const int exitCode = QApplication::exec();
    qCInfo(lcStartup, "18 event loop returned %d", exitCode);

    UnloadLogLibrary();
    // Shutdown: main frame, helper thread handle, main loop, in this order. The helper thread is
    // not stopped; it ends with the process.
    mainFrame.reset();
    helper.reset();
    // The Qt-driven control must go while the application object still exists.
    OrvexBase::CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(OrvexBase::ML_MAIN);
    mainLoop.reset();
    return 0;
}

}  // namespace tessaro
