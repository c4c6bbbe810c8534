// The log library binding against three stand-in libraries: complete, without "SLogA", without
// "SLogW"; and the notice as the user sees it, in a real message box.
#include "shell/LogLibrary.h"

#include "framework/os/SFAppDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Notice {
    QString caption;
    QString text;
};

class LogLibrary : public testing::Test {
protected:
    void SetUp() override {
        tessaro::SetLogLibraryNoticeSink([this](const QString& caption, const QString& text) {
            m_notices.push_back({caption, text});
        });
    }
    void TearDown() override {
        tessaro::UnloadLogLibrary();
        tessaro::SetLogLibraryNoticeSink({});
    }
    static void UseStandIn(const char* variant) {
        SF_SOFT_BASE::SetApplicationDirectory(std::string(LOGLIB_STANDINS) + "/" + variant);
    }
    std::vector<Notice> m_notices;
};

TEST_F(LogLibrary, CompleteLibraryIsBoundWithoutNotice) {
    UseStandIn("both");
    EXPECT_TRUE(tessaro::LoadLogLibrary());
    EXPECT_TRUE(tessaro::LogLibraryLoaded());
    EXPECT_NE(tessaro::LogEntryPointW(), nullptr);
    EXPECT_NE(tessaro::LogEntryPointA(), nullptr);
    EXPECT_TRUE(m_notices.empty());

    tessaro::UnloadLogLibrary();
    EXPECT_FALSE(tessaro::LogLibraryLoaded());
    EXPECT_EQ(tessaro::LogEntryPointW(), nullptr);
    EXPECT_EQ(tessaro::LogEntryPointA(), nullptr);
}

TEST_F(LogLibrary, MissingEntryPointIsNoticedOnceAndTheLibraryReleased) {
    const struct {
        const char* variant;
        const char* text;
    } cases[] = {
        {"no_a", "加载QXLog.dll时；获取SLogA函数地址失败！"},
        {"no_w", "加载QXLog.dll时；获取SLog函数地址失败！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        m_notices.clear();
        UseStandIn(c.variant);
        EXPECT_FALSE(tessaro::LoadLogLibrary());
        EXPECT_FALSE(tessaro::LogLibraryLoaded());
        EXPECT_EQ(tessaro::LogEntryPointW(), nullptr);
        EXPECT_EQ(tessaro::LogEntryPointA(), nullptr);
        ASSERT_EQ(m_notices.size(), 1u);
        EXPECT_EQ(m_notices[0].caption, QString::fromUtf8("提示"));
        EXPECT_EQ(m_notices[0].text, QString::fromUtf8(c.text));
    }
}

TEST_F(LogLibrary, MissingLibraryIsSilent) {
    UseStandIn("absent");
    EXPECT_FALSE(tessaro::LoadLogLibrary());
    EXPECT_FALSE(tessaro::LogLibraryLoaded());
    EXPECT_TRUE(m_notices.empty());
    tessaro::UnloadLogLibrary();  // nothing loaded: harmless
}

// The default notice is a modal box: caption, text, an OK button only, no owner window.
TEST(LogLibraryNotice, IsAMessageBoxWithOnlyAnOkButton) {
    static int argc = 1;
    static char name[] = "shell_loglib_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    SF_SOFT_BASE::SetApplicationDirectory(std::string(LOGLIB_STANDINS) + "/no_a");

    QString title;
    QString text;
    int buttons = 0;
    bool owned = true;
    bool clicked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        title = box->windowTitle();
        text = box->text();
        buttons = static_cast<int>(box->buttons().size());
        owned = box->parentWidget() != nullptr;
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
            clicked = true;
        }
    });
    poll.start(10);
    QTimer::singleShot(20000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();  // never hang the test run
        }
    });

    EXPECT_FALSE(tessaro::LoadLogLibrary());
    poll.stop();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(title, QString::fromUtf8("提示"));
    EXPECT_EQ(text, QString::fromUtf8("加载QXLog.dll时；获取SLogA函数地址失败！"));
    EXPECT_EQ(buttons, 1);
    EXPECT_FALSE(owned);
}

}  // namespace
