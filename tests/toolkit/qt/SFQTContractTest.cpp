// The common contract of every control kind and the window operations the dialogs rely on:
// creation with and without the visible bit, moving, texts, the title's placement, and the edit
// control's reports and filters.
#include "toolkit/SFFactory.h"
#include "toolkit/qt/SFQTMinorControls.h"
#include "toolkit/qt/SFQTSkinnedWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class PlainDialog : public ISFDialogEvent {
public:
    int Dlg_OnInit(int) override { return 1; }
};

struct EditRecorder : ISFEditCtrlEvent {
    std::vector<std::wstring> changes;
    std::vector<std::wstring> enters;
    void EDIT_OnTextChange(uint32_t, const wchar_t* text) override { changes.emplace_back(text); }
    void EDIT_OnEnterPressed(uint32_t, const wchar_t* text) override { enters.emplace_back(text); }
};

QWidget* W(CSFControl* c) {
    return static_cast<QWidget*>(c->GetUIWnd());
}

// Every control kind, created sink-less with a style, a rectangle and a parent.
struct Kind {
    const char* name;
    CSFControl* (*create)(uint32_t style, const tagRECT* r, QWidget* parent);
};
#define SF_KIND(name, factory, ...)                                                  \
    Kind {                                                                           \
        name, [](uint32_t style, const tagRECT* r, QWidget* parent) -> CSFControl* { \
            auto* c = factory(nullptr);                                              \
            c->Create(__VA_ARGS__);                                                  \
            return c;                                                                \
        }                                                                            \
    }
const Kind kKinds[] = {
    SF_KIND("button", SFCreateButton, L"b", style, r, parent, 1),
    SF_KIND("radio", SFCreateRadioBox, L"r", style, r, parent, 1),
    SF_KIND("static", SFCreateStatic, L"s", style, r, parent, 1),
    SF_KIND("picture", SFCreatePictureCtrl, L"", style, r, parent, 1),
    SF_KIND("edit", SFCreateEditCtrl, style, r, parent, 1, 0),
    SF_KIND("combo", SFCreateComboBox, style, r, parent, 1),
    SF_KIND("list", SFCreateListCtrl, style, r, parent, 1, 0),
    SF_KIND("listbox", SFCreateListBox, style, r, parent, 1),
    SF_KIND("tree", SFCreateTreeCtrl, style, r, parent, 1),
    SF_KIND("groupbox", SFCreateGroupBox, L"g", style, r, parent, 1),
    SF_KIND("slider", SFCreateSliderCtrl, style, r, parent, 1),
    SF_KIND("progress", SFCreateProgressCtrl, style, r, parent, 1),
    SF_KIND("datetime", SFCreateDateTimeCtrl, style, r, parent, 1),
    SF_KIND("calendar", SFCreateCalendarCtrl, style, r, parent, 1),
    SF_KIND("graphiclist", SFCreateGraphicList, style, r, parent, 1),
    SF_KIND("pictureex", SFCreatePictureEx, L"", style, r, parent, 1),
    SF_KIND("checkbox", SFCreateCheckBox, "c", style, r, parent, 1),
    SF_KIND("view", SFCreateView, L"", L"", style, r, parent, 1),
};
#undef SF_KIND

}  // namespace

class SFQTContractTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every kind: Create honours the visible bit, MoveWindow takes width and height, a null
    // sink is allowed, SFDestroyControl deletes the whole widget.
    void everyKindKeepsTheCommonContract_data() {
        QTest::addColumn<int>("kind");
        for (int i = 0; i < int(std::size(kKinds)); ++i) {
            QTest::newRow(kKinds[i].name) << i;
        }
    }
    void everyKindKeepsTheCommonContract() {
        QFETCH(int, kind);
        QWidget parent;
        parent.show();
        const tagRECT r{4, 6, 104, 36};
        CSFControl* hidden = kKinds[kind].create(0, &r, &parent);
        QVERIFY(hidden != nullptr);
        QVERIFY(!W(hidden)->isVisible());
        QCOMPARE(W(hidden)->parentWidget(), &parent);
        QCOMPARE(W(hidden)->geometry(), QRect(4, 6, 100, 30));
        QCOMPARE(hidden->ShowWindow(1), 1);
        QVERIFY(W(hidden)->isVisible());
        hidden->MoveWindow(1, 2, 50, 20);
        QCOMPARE(W(hidden)->geometry(), QRect(1, 2, 50, 20));
        hidden->MoveWindow(static_cast<const tagRECT*>(nullptr));  // ignored
        QCOMPARE(W(hidden)->geometry(), QRect(1, 2, 50, 20));
        hidden->EnableWindow(0);
        QVERIFY(!W(hidden)->isEnabled());
        CSFControl* shown = kKinds[kind].create(SF_WS_VISIBLE, &r, &parent);
        QVERIFY(W(shown)->isVisible());
        QPointer<QWidget> gone(W(shown));
        SFDestroyControl(shown);
        QVERIFY(gone.isNull());
        SFDestroyControl(hidden);
    }

    void titleFollowsItsAlignment_data() {
        QTest::addColumn<QString>("align");
        QTest::addColumn<int>("expectedLeft");  // -1: centred, -2: flush right
        QTest::newRow("left") << QStringLiteral("left") << 20;
        QTest::newRow("center") << QStringLiteral("center") << -1;
        QTest::newRow("right") << QStringLiteral("right") << -2;
        QTest::newRow("unknown_is_left") << QStringLiteral("justify") << 20;
    }
    void titleFollowsItsAlignment() {
        QFETCH(QString, align);
        QFETCH(int, expectedLeft);
        PlainDialog logic;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        DialogStyle style;
        style.titleAlign = align.toStdWString();
        style.titleArea = L"20,0,1000,27";
        style.titleColor = L"ffffff";
        style.initialSize = L"320,160";
        dlg->SetSkin(&style);
        QCOMPARE(dlg->size(), QSize(320, 160));
        dlg->SetWindowTextW(L"Attention");
        QLabel* label = dlg->TitleLabel();
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QStringLiteral("Attention"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        const int w = label->width();
        const int left = expectedLeft == -1   ? (320 - w) / 2
                         : expectedLeft == -2 ? 320 - w
                                              : expectedLeft;
        QCOMPARE(label->x(), left);
        dlg->SetTitleToTopDistance(16);
        QCOMPARE(label->y(), 16);
        SFDestroyControl(dlg);
    }

    void windowGeometryOperations() {
        PlainDialog logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        dlg->MoveWindow(100, 120, 300, 200);
        tagRECT r{};
        dlg->GetDlgWindowRect(&r);
        QCOMPARE(SFQt::ToQRect(r), QRect(100, 120, 300, 200));
        dlg->GetDlgClientRect(&r);
        QCOMPARE(SFQt::ToQRect(r), QRect(0, 0, 300, 200));  // no shadow without a compositor
        dlg->SetFrameShadow(true);
        dlg->GetDlgClientRect(&r);
        QCOMPARE(SFQt::ToQRect(r), QRect(0, 0, 300, 200));
        constexpr uint32_t kNoMove = 0x0002;
        dlg->SetDlgWindowPos(nullptr, 0, 0, 250, 150, kNoMove);
        dlg->GetDlgWindowRect(&r);
        QCOMPARE(SFQt::ToQRect(r), QRect(100, 120, 250, 150));
        dlg->GetDlgClientRect(nullptr);
        dlg->Screen2Client(static_cast<tagPOINT*>(nullptr));
        dlg->SetSizeRoundCorner(L"8,8");
        dlg->SetSizeRoundCorner(nullptr);
        QCOMPARE(dlg->IsDlgZoomed(), 0);
        SFDestroyControl(dlg);
    }

    void editReportsChangesAndFiltersInput() {
        EditRecorder r;
        CSFEditCtrl* edit = SFCreateEditCtrl(&r);
        const tagRECT rect{0, 0, 200, 24};
        edit->Create(SF_WS_VISIBLE, &rect, nullptr, 304, 0);
        edit->SetRegExp(L"[^*/\\\\<>|]*$");
        edit->SetMaxCharacterLength(5);
        QTest::keyClicks(W(edit), QStringLiteral("a*b/c|def"));
        wchar_t text[16];
        edit->GetWindowTextW(text, 16);
        QCOMPARE(std::wstring(text), std::wstring(L"abcde"));
        QCOMPARE(r.changes.back(), std::wstring(L"abcde"));
        QTest::keyClick(W(edit), Qt::Key_Return);
        QCOMPARE(r.enters, std::vector<std::wstring>{L"abcde"});
        edit->SetRegExp(L"(unclosed");  // an invalid pattern removes the filter
        edit->SetWindowTextW(L"*");
        edit->GetWindowTextW(text, 16);
        QCOMPARE(std::wstring(text), std::wstring(L"*"));
        SFDestroyControl(edit);
    }
};

QTEST_MAIN(SFQTContractTest)
#include "SFQTContractTest.moc"
