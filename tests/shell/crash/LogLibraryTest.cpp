// The log library binding against three stand-in libraries: complete, without "SLogA", without
// "SLogW"; and the notice as the user sees it, in a real message box.
#include "shell/LogLibrary.h"

#include "framework/os/SFAppDir.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(LogLibrary, BindsBothEntryPointsOrNoticesAMissingOneOnce) {
    std::vector<std::pair<QString, QString>> notices;  // caption, text
    tessaro::SetLogLibraryNoticeSink([&notices](const QString& caption, const QString& text) {
        notices.emplace_back(caption, text);
    });
    const struct {
        const char* variant;
        bool bound;
        const char* notice;  // null: none
    } cases[] = {
        {"both", true, nullptr},
        {"no_a", false, "加载QXLog.dll时；获取SLogA函数地址失败！"},
        {"no_w", false, "加载QXLog.dll时；获取SLog函数地址失败！"},
        {"absent", false, nullptr},  // a missing library is silent
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        notices.clear();
        SF_SOFT_BASE::SetApplicationDirectory(std::string(LOGLIB_STANDINS) + "/" + c.variant);
        EXPECT_EQ(tessaro::LoadLogLibrary(), c.bound);
        EXPECT_EQ(tessaro::LogLibraryLoaded(), c.bound);
        EXPECT_EQ(tessaro::LogEntryPointW() != nullptr, c.bound);
        EXPECT_EQ(tessaro::LogEntryPointA() != nullptr, c.bound);
        ASSERT_EQ(notices.size(), c.notice != nullptr ? 1u : 0u);
        if (c.notice != nullptr) {
            EXPECT_EQ(notices[0].first, QString::fromUtf8("提示"));
            EXPECT_EQ(notices[0].second, QString::fromUtf8(c.notice));
        }
        tessaro::UnloadLogLibrary();  // also harmless when nothing is loaded
        EXPECT_FALSE(tessaro::LogLibraryLoaded());
        EXPECT_EQ(tessaro::LogEntryPointW(), nullptr);
        EXPECT_EQ(tessaro::LogEntryPointA(), nullptr);
    }
    tessaro::SetLogLibraryNoticeSink({});
}

// The default notice is a modal box: caption, text, an OK button only, no owner window.
TEST(LogLibraryNotice, IsAMessageBoxWithOnlyAnOkButton) {
    int argc = 1;
    char* argv[] = {const_cast<char*>("shell_loglib_tests"), nullptr};
    QApplication app(argc, argv);  // offscreen: the test main sets the platform
    SF_SOFT_BASE::SetApplicationDirectory(std::string(LOGLIB_STANDINS) + "/no_a");

    bool clicked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || clicked) {
            return;
        }
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8("提示"));
        EXPECT_EQ(box->text(), QString::fromUtf8("加载QXLog.dll时；获取SLogA函数地址失败！"));
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->parentWidget(), nullptr);
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
}

}  // namespace
