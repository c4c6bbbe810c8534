#pragma once
// What the window tests share: short names for driving a control (its widget, a click, typed
// text, its shown text, a translation), answering the message an action raises, and the real
// main frame over a temporary application directory holding the shipped language files and
// catalogue. GUI thread only.
#include <QAbstractSpinBox>
#include <QTableWidget>
#include <QTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "Main/MainFrame.h"
#include "Main/ModelSelectDlg.h"
#include "Main/ParameterSetting.h"
#include "Main/ToolBar.h"
#include "Main/model/TempAppDir.h"
#include "Main/ui/ModalDriver.h"
#include "framework/SFMessageLoop.h"
#include "framework/os/SFThread.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFToolkit.h"

namespace uitest {

using Panel = CParameterSettingEventImp;

inline QWidget* W(CSFControl* c) {
    return c ? static_cast<QWidget*>(c->GetUIWnd()) : nullptr;
}
inline void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}
inline QString Tr(const wchar_t* key) {
    return QString::fromStdWString(Translate(key));
}
// The text a control shows (its window text).
inline QString Shown(CSFControl* c) {
    wchar_t buffer[400] = {};
    c->GetWindowTextW(buffer, 400);
    return QString::fromWCharArray(buffer);
}
// The toolkit control with that id below root (the tool bar keeps its tabs to itself).
inline CSFControl* ById(QWidget* root, uint32_t id) {
    for (QWidget* w : root->findChildren<QWidget*>())
        if (auto* c = dynamic_cast<CSFControl*>(w); c != nullptr && c->GetCtrlID() == id)
            return c;
    return nullptr;
}
// Replaces a spinner's text with text and confirms it with Return.
inline void Type(QWidget* box, const QString& text) {
    static_cast<QAbstractSpinBox*>(box)->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}
// Runs action and answers the message box it leads to (at once or from a posted task) with
// Return; the box's texts, joined by '|', without the wrapping labels' zero-width spaces.
inline QString MessageOf(const std::function<void()>& action) {
    QString texts;
    auto answered = AnswerNextModal([&](QWidget* w) {
        texts = VisibleTexts(w).join(u'|').remove(QChar(0x200B));
        QTest::keyClick(w, Qt::Key_Return);
    });
    action();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(*answered, 20000); }();
    return texts;
}

// The real main frame, shown, over a temporary application directory with the shipped language
// files and catalogue (plus extraRows), and the main message loop start-up makes. Init in a
// test's init(), Cleanup in its cleanup().
struct Frame {
    std::unique_ptr<TempAppDir> dir;
    std::shared_ptr<CMainFrameEventImp> frame;
    std::shared_ptr<OrvexBase::CSFMessageLoop> loop;

    void Init(const std::string& extraRows = {}) {
        loop = OrvexBase::CSFMessageLoop::CreateMessageLoop(0);
        loop->SetThreadId(SF_SOFT_BASE::CSFThread::GetCurrentThreadID());
        OrvexBase::CSFMessageLoopManager::GetInstance()->AddMessageLoop(loop, OrvexBase::ML_MAIN);
        dir = std::make_unique<TempAppDir>();
        for (const char* name : {"Lang_0.xml", "Lang_1.xml", "ProductParameter.csv"})
            std::filesystem::copy_file(std::string(TESSARO_APP_DIR) + "/" + name, dir->file(name));
        dir->write("ProductParameter.csv",
                   TempAppDir::read(dir->file("ProductParameter.csv")) + extraRows);
        g_appSettings.SetFilePath(dir->file("Config/config.xml"));
        g_appSettings.LoadSettings();  // as start-up: registers the language setting
        SFSetSkinPath(QStringLiteral(TESSARO_APP_DIR "/Skin/").toStdWString().c_str());
        Open();
    }
    void Cleanup() {
        frame.reset();
        SFSetUIScale(1.0f);
        CurrentLanguage = 0;
        ResetLanguageTables();
        OrvexBase::CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(OrvexBase::ML_MAIN);
        loop.reset();
    }
    // A new main frame (the old one goes first), as start-up makes it.
    void Open() {
        frame.reset();
        frame = std::make_shared<CMainFrameEventImp>();
        QCOMPARE(frame->Create(), 1);
        frame->ShowWindow(1);
        QVERIFY(QTest::qWaitForWindowExposed(W(frame->Window())));
    }

    Panel* P() const { return frame->ParameterPanel(); }
    QWidget* C(uint32_t id) const { return W(P()->Control(id)); }
    int Num(uint32_t id) const {
        return static_cast<CSFNumSpiner*>(P()->Control(id))->GetCurrentNum();
    }
    QString SpinText(uint32_t id) const { return static_cast<QAbstractSpinBox*>(C(id))->text(); }
    // The tool bar's tabs: 110 the wall page, 111 "Data output".
    void Tab(uint32_t id) const { Click(W(ById(W(frame->ToolBar()->View()), id))); }
    // Shows step (a panel step header) and types text into the spinner id.
    void TypeAt(uint32_t step, uint32_t id, const QString& text) const {
        Click(C(step));
        Type(C(id), text);
    }
    // Triggers the tool bar's menu entry whose text is the translation of key.
    void MenuEntry(const wchar_t* key) const {
        for (QAction* action : W(frame->ToolBar()->View())->findChildren<QAction*>())
            if (action->text() == Tr(key))
                action->trigger();
    }
    // Opens the model dialog from the panel, selects the row with model (a click on it) and
    // leaves with how: 0 the close button, 1 Escape, 2 "Choose this model".
    void Choose(const QString& model, int how = 2) const {
        CModelSelectDlgEventImp* dlg = frame->ModelSelectDlg();
        auto answered = AnswerNextModal([=](QWidget* w) {
            auto* table = static_cast<QTableWidget*>(W(dlg->List()));
            QTableWidgetItem* item = table->findItems(model, Qt::MatchExactly).value(0);
            table->scrollToItem(item);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualItemRect(item).center());
            if (how == 1)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                Click(W(dlg->Button(how == 0 ? CModelSelectDlgEventImp::kClose
                                             : CModelSelectDlgEventImp::kChoose)));
        });
        Click(C(Panel::kStepModel));
        Click(C(Panel::kSelectModel));
        [&] { QTRY_VERIFY(*answered); }();
    }
};

}  // namespace uitest
