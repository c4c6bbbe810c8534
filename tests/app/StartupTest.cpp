// Start-up as a whole: the steps run in their order, the settings decide the language, the loops
// exist before the main frame, and the process result is 0 whatever the event loop returned.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "Main/MainFrameFactory.h"
#include "framework/SFMessageLoop.h"
#include "framework/os/SFAppDir.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "shell/Startup.h"
#include "support/TempDir.h"

using testsupport::TempDir;

namespace {

std::vector<std::string> g_lines;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::string(context.category) == "tessaro.startup") {
        g_lines.push_back(message.toStdString());
    }
}

// What the main frame factory saw when start-up called it.
struct Seen {
    bool called = false;
    bool mainLoop = false;
    bool helperRunning = false;
    int language = -1;
};
Seen g_seen;
int g_exitCode = 0;

class TestFrame final : public tessaro::IMainFrame {
public:
    void ShowWindow(int show) override {
        m_window.setWindowTitle(QStringLiteral("Tessaro"));
        m_window.setVisible(show != 0);
        // Close the window once the event loop runs, then end the loop with an odd code.
        QTimer::singleShot(50, &m_window, [this] {
            m_window.close();
            QCoreApplication::exit(g_exitCode);
        });
    }

private:
    QWidget m_window;
};

std::shared_ptr<tessaro::IMainFrame> CreateTestFrame() {
    using namespace OrvexBase;
    g_seen.called = true;
    auto manager = CSFMessageLoopManager::GetInstance();
    g_seen.mainLoop = manager->GetMessageLoop(ML_MAIN) != nullptr;
    auto helper = manager->GetMessageLoop(ML_HELPER);
    g_seen.helperRunning = helper != nullptr && helper->GetThreadId() != 0;
    g_seen.language = CurrentLanguage;
    return std::make_shared<TestFrame>();
}

int RunStartup(tessaro::MainFrameFactory factory = &CreateTestFrame) {
    g_lines.clear();
    g_seen = Seen{};
    ::setenv("QT_LOGGING_RULES", "tessaro.startup=true", 1);
    qInstallMessageHandler(Capture);
    char name[] = "tessaro";
    char* argv[] = {name, nullptr};
    int result = tessaro::RunApplication(1, argv, factory);
    qInstallMessageHandler(nullptr);
    return result;
}

std::vector<int> Steps() {
    std::vector<int> steps;
    for (const std::string& line : g_lines) {
        steps.push_back(std::atoi(line.c_str()));
    }
    return steps;
}

TEST(Startup, RunsItsStepsInOrderAndReturnsZeroWhateverTheLoopReturned) {
    TempDir appDir;
    appDir.write("Config/config.xml",
                 "<Setting><UIConfig><Language value=\"7\"/></UIConfig></Setting>");
    std::filesystem::copy_file(std::string(TESSARO_APP_DIR) + "/qt_zh_CN.qm",
                               appDir.file("qt_zh_CN.qm"));
    SF_SOFT_BASE::SetApplicationDirectory(appDir.path());
    g_exitCode = 42;

    EXPECT_EQ(RunStartup(), 0);

    std::vector<int> steps = Steps();
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end())) << ::testing::PrintToString(g_lines);
    for (int step : {1, 2, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18}) {
        EXPECT_NE(std::find(steps.begin(), steps.end(), step), steps.end()) << "step " << step;
    }
    EXPECT_TRUE(g_seen.called);
    EXPECT_TRUE(g_seen.mainLoop) << "ML_MAIN must exist before the main frame";
    EXPECT_TRUE(g_seen.helperRunning) << "ML_HELPER must run before the main frame";
    EXPECT_EQ(g_seen.language, 7) << "7 is Chinese, kept as read";
    EXPECT_NE(std::find(g_lines.begin(), g_lines.end(), "13 Qt translation installed"),
              g_lines.end());
    EXPECT_EQ(g_lines.back(), "18 event loop returned 42");
    EXPECT_EQ(g_appSettings.FilePath(), appDir.file("Config/config.xml"));
}

TEST(Startup, FirstStartRunsInEnglishAndCreatesNoSettingsFile) {
    TempDir appDir;
    SF_SOFT_BASE::SetApplicationDirectory(appDir.path());
    g_exitCode = 0;

    EXPECT_EQ(RunStartup(), 0);

    EXPECT_EQ(g_seen.language, 0);
    EXPECT_FALSE(std::filesystem::exists(appDir.file("Config")));
    EXPECT_EQ(std::find(g_lines.begin(), g_lines.end(), "13 Qt translation installed"),
              g_lines.end());
}

TEST(Startup, ChineseWithoutQtTranslationStartsNormally) {
    TempDir appDir;
    appDir.write("Config/config.xml",
                 "<Setting><UIConfig><Language value=\"1\"/></UIConfig></Setting>");
    SF_SOFT_BASE::SetApplicationDirectory(appDir.path());
    g_exitCode = 0;

    EXPECT_EQ(RunStartup(), 0);
    EXPECT_EQ(g_seen.language, 1);
    EXPECT_TRUE(g_seen.called);
}

// The program's own main frame is a real top-level window: closing it ends the event loop and
// the program returns 0.
TEST(Startup, TheMainWindowClosesCleanly) {
    TempDir appDir;
    SF_SOFT_BASE::SetApplicationDirectory(appDir.path());
    static bool shown = false;
    auto factory = []() -> std::shared_ptr<tessaro::IMainFrame> {
        QTimer::singleShot(100, [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            for (QWidget* w : windows) {
                shown = shown || (w->isVisible() && w->windowTitle() == QStringLiteral("Tessaro"));
            }
            QApplication::closeAllWindows();
        });
        return CreateMainFrame();
    };
    EXPECT_EQ(RunStartup(factory), 0);
    EXPECT_TRUE(shown);
}

}  // namespace
