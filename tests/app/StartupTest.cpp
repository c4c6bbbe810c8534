// Start-up as a whole: the steps run in their order, the settings decide the language, the loops
// exist before the main frame, and the process result is 0 whatever the event loop returned.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "Main/MainFrame.h"
#include "Main/MainFrameFactory.h"
#include "framework/SFMessageLoop.h"
#include "framework/os/SFAppDir.h"
#include "shell/AppSettings.h"
#include "shell/Startup.h"
#include "shell/lang/LanguageTable.h"
#include "support/TempDir.h"

using testsupport::TempDir;

namespace {

std::vector<std::string> g_lines;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && std::string(context.category) == "tessaro.startup") {
        g_lines.push_back(message.toStdString());
    }
}

// What the main frame factory saw when start-up called it, and whether a visible window titled
// "Tessaro" was up once the event loop ran.
struct Seen {
    bool mainLoop = false;
    bool helperRunning = false;
    int language = -1;
    bool shown = false;
};
Seen g_seen;
// Each scenario: the settings' language (-1: no settings file, a first start), whether Qt's
// Chinese translation lies beside the program, what the event loop returns, and whether the
// program's own main frame runs (closing its window ends the loop).
struct StartupCase {
    const char* name;
    int language;
    bool qtTranslation;
    int loopResult;
    bool realFrame;
};

const StartupCase* g_case = nullptr;

struct TestFrame final : tessaro::IMainFrame {
    void ShowWindow(int show) override {
        m_window.setWindowTitle(QStringLiteral("Tessaro"));
        m_window.setVisible(show != 0);
    }
    void Close() override { m_window.close(); }
    QWidget m_window;
};

// Returns the program's own main frame, which its closing window must end the loop of, or a
// stand-in whose loop ends with an odd code.
std::shared_ptr<tessaro::IMainFrame> CreateFrame() {
    using namespace OrvexBase;
    auto manager = CSFMessageLoopManager::GetInstance();
    auto helper = manager->GetMessageLoop(ML_HELPER);
    g_seen = {manager->GetMessageLoop(ML_MAIN) != nullptr,
              helper != nullptr && helper->GetThreadId() != 0, CurrentLanguage, false};
    std::shared_ptr<tessaro::IMainFrame> frame =
        g_case->realFrame ? CreateMainFrame() : std::make_shared<TestFrame>();
    std::weak_ptr<CMainFrameEventImp> real = std::dynamic_pointer_cast<CMainFrameEventImp>(frame);
    QTimer::singleShot(100, [real] {
        const QString title = g_case->realFrame ? QString::fromStdWString(Translate(L"ProductName"))
                                                : QStringLiteral("Tessaro");
        for (QWidget* w : QApplication::topLevelWidgets()) {
            g_seen.shown |= w->isVisible() && w->windowTitle() == title;
        }
        if (auto mainFrame = real.lock()) {
            mainFrame->StopAndClose();  // as the tool bar's close button: hidden first, then closed
        } else {
            QCoreApplication::exit(g_case->loopResult);
        }
    });
    return frame;
}

int RunStartup(const TempDir& appDir) {
    SF_SOFT_BASE::SetApplicationDirectory(appDir.path());
    g_lines.clear();
    g_seen = Seen{};
    ::setenv("QT_LOGGING_RULES", "tessaro.startup=true", 1);
    qInstallMessageHandler(Capture);
    char name[] = "tessaro";
    char* argv[] = {name, nullptr};
    int result = tessaro::RunApplication(1, argv, &CreateFrame);
    qInstallMessageHandler(nullptr);
    return result;
}

class Startup : public ::testing::TestWithParam<StartupCase> {};

TEST_P(Startup, RunsItsStepsInOrderAndReturnsZeroWhateverTheLoopReturned) {
    const StartupCase& c = GetParam();
    TempDir appDir;
    if (c.language >= 0) {
        appDir.write("Config/config.xml", "<Setting><UIConfig><Language value=\"" +
                                              std::to_string(c.language) +
                                              "\"/></UIConfig></Setting>");
    }
    if (c.qtTranslation) {
        std::filesystem::copy_file(std::string(TESSARO_APP_DIR) + "/qt_zh_CN.qm",
                                   appDir.file("qt_zh_CN.qm"));
    }
    g_case = &c;

    EXPECT_EQ(RunStartup(appDir), 0);

    std::string steps;  // step 13, Qt's Chinese texts, only when the language is not English
    for (const std::string& line : g_lines) {
        steps += line.substr(0, line.find(' ')) + " ";
    }
    EXPECT_EQ(steps, std::string("1 2 4 5 6 7 8 9 10 12 ") + (c.language > 0 ? "13 " : "") +
                         "14 15 16 17 18 ");
    EXPECT_TRUE(g_seen.mainLoop) << "ML_MAIN must exist before the main frame";
    EXPECT_TRUE(g_seen.helperRunning) << "ML_HELPER must run before the main frame";
    EXPECT_TRUE(g_seen.shown);
    EXPECT_EQ(g_seen.language, std::max(c.language, 0)) << "kept as read; English without";
    EXPECT_EQ(std::count(g_lines.begin(), g_lines.end(), "13 Qt translation installed"),
              c.qtTranslation ? 1 : 0);
    EXPECT_EQ(g_lines.back(), "18 event loop returned " + std::to_string(c.loopResult));
    EXPECT_EQ(g_appSettings.FilePath(), appDir.file("Config/config.xml"));
    EXPECT_EQ(std::filesystem::exists(appDir.file("Config")), c.language >= 0);  // none made
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, Startup,
    ::testing::Values(StartupCase{"ChineseWithQtTranslation", 7, true, 42, false},
                      StartupCase{"FirstStartInEnglish", -1, false, 0, false},
                      StartupCase{"ChineseWithoutQtTranslation", 1, false, 0, false},
                      StartupCase{"TheMainWindowClosesCleanly", -1, false, 0, true}),
    [](const ::testing::TestParamInfo<StartupCase>& row) { return std::string(row.param.name); });

}  // namespace
