// The log library binding against three stand-in libraries: complete, without "SLogA", without
// "SLogW"; the notice goes to a recording sink, or, by default, to a real message box.
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
    int argc = 1;
    char* argv[] = {const_cast<char*>("shell_loglib_tests"), nullptr};
    QApplication app(argc, argv);                      // offscreen: the test main sets the platform
    std::vector<std::pair<QString, QString>> notices;  // caption, text
    const auto record = [&notices](const QString& caption, const QString& text) {
        notices.emplace_back(caption, text);
    };
    // The default notice is a modal box: an OK button only, no owner window.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box != nullptr && box->button(QMessageBox::Ok) != nullptr) {
            EXPECT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->parentWidget(), nullptr);
            record(box->windowTitle(), box->text());
            box->button(QMessageBox::Ok)->click();
        } else if (modal != nullptr) {
            modal->close();  // never hang the test run
        }
    });
    poll.start(10);
    const struct {
        const char* variant;
        bool inTheBox;  // the default notice
        bool bound;
        const char* notice;  // null: none
    } cases[] = {
        {"both", false, true, nullptr},
        {"no_a", false, false, "加载QXLog.dll时；获取SLogA函数地址失败！"},
        {"no_w", false, false, "加载QXLog.dll时；获取SLog函数地址失败！"},
        {"absent", false, false, nullptr},  // a missing library is silent
        {"no_a", true, false, "加载QXLog.dll时；获取SLogA函数地址失败！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        notices.clear();
        tessaro::SetLogLibraryNoticeSink(c.inTheBox ? tessaro::LogLibraryNoticeSink() : record);
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
}

}  // namespace
