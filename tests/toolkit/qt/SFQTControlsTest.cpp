// The controls under the offscreen platform: the common contract of every kind, which changes
// report and which stay silent, what bad indexes answer, radio flipping, controls destroyed inside
// their own callbacks, pictures and style sheets from files, and the window operations and title
// placement the dialogs rely on.
#include "SFQTTestSupport.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"
#include "toolkit/qt/SFQTButtons.h"
#include "toolkit/qt/SFQTLabels.h"
#include "toolkit/qt/SFQTLists.h"
#include "toolkit/qt/SFQTMinorControls.h"
#include "toolkit/qt/SFQTScrollMenu.h"
#include "toolkit/qt/SFQTSkinnedWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <utility>

namespace {

class PlainDialog : public ISFDialogEvent {
public:
    int Dlg_OnInit(int) override { return 1; }
};

// Writes down, in order, what its controls report and the answers a test hands it with <<.
struct Heard : ISFComboBoxEvent,
               ISFNumSpinerEvent,
               ISFDoubleSpinerEvent,
               ISFRadioBoxEvent,
               ISFListCtrlEvent,
               ISFMenuEvent,
               ISFScrollAreaEvent,
               ISFEditCtrlEvent {
    QStringList log;
    template <class V>
    void Say(const char* what, V value) {
        log << QString::fromLatin1(what) + QString::number(value);
    }
    void SelectChanged(uint32_t, int i) override { Say("select:", i); }
    void OnCurrentNumChanged(uint32_t, int v) override { Say("num:", v); }
    void OnCurrentNumChanged(uint32_t, double v) override { Say("real:", v); }
    void RADIO_OnClicked(uint32_t, int s, tagPOINT) override { Say("radio:", s); }
    void OnSelected(int row) override { Say("row:", row); }
    void Menu_OnAction(int id) override { Say("action:", id); }
    void OnChange(uint32_t, int v, int) override { Say("value:", v); }
    void EDIT_OnTextChange(uint32_t, const wchar_t* t) override {
        log << QString::fromWCharArray(t);
    }
    void EDIT_OnEnterPressed(uint32_t, const wchar_t* t) override {
        log << QStringLiteral("enter:") + QString::fromWCharArray(t);
    }
    Heard& operator<<(int answer) {
        log << QString::number(answer);
        return *this;
    }
    QString Take() { return std::exchange(log, {}).join(u' '); }
};

// Destroys its control from inside the control's own callback, as a logic that closes a view
// on a click does.
struct Destroyer : ISFStaticEvent, ISFPictureCtrlEvent, ISFEditCtrlEvent, ISFButtonEvent {
    CSFControl* target = nullptr;
    bool armed = false;
    void Destroy() {
        if (armed) {
            SFDestroyControl(target);
            target = nullptr;
        }
    }
    void STATIC_OnLButtonDown(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void STATIC_OnLButtonUp(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void STATIC_OnMouseMove(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void PICTRL_OnLButtonDown(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void PICTRL_OnLButtonUp(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void PICTRL_OnMouseMove(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void EDIT_OnMousePressed(uint32_t, const wchar_t*) override { Destroy(); }
    void BTN_OnMouseMove(uint32_t, uint32_t, tagPOINT) override { Destroy(); }
    void BTN_OnMouseLeave(uint32_t, uint32_t, long) override { Destroy(); }
};

// Every control kind, created sink-less with a style, a rectangle and a parent.
struct Kind {
    const char* name;
    CSFControl* (*create)(uint32_t style, const tagRECT* r, QWidget* parent);
};
#define SF_KIND(name, factory, ...)                                                  \
    Kind {                                                                           \
        name, [](uint32_t style, const tagRECT* r, QWidget* parent) -> CSFControl* { \
            return Made(factory(nullptr), __VA_ARGS__);                              \
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

class SFQTControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKindKeepsTheCommonContract_data() {
        QTest::addColumn<int>("kind");
        for (int i = 0; i < int(std::size(kKinds)); ++i) {
            QTest::newRow(kKinds[i].name) << i;
        }
    }
    void everyKindKeepsTheCommonContract() {
        QFETCH(int, kind);
        ExpectCommonContract(kKinds[kind].create);
    }

    void titleFollowsItsAlignment_data() {
        QTest::addColumn<QString>("align");
        QTest::addColumn<int>("left");     // from the title area's left
        QTest::addColumn<double>("room");  // the share of the room left of the label
        QTest::newRow("left") << QStringLiteral("left") << 20 << 0.0;
        QTest::newRow("center") << QStringLiteral("center") << 0 << 0.5;
        QTest::newRow("right") << QStringLiteral("right") << 0 << 1.0;
        QTest::newRow("unknown_is_left") << QStringLiteral("justify") << 20 << 0.0;
    }
    void titleFollowsItsAlignment() {
        QFETCH(QString, align);
        QFETCH(int, left);
        QFETCH(double, room);
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
        QCOMPARE(label->x(), left + int(room * (320 - label->width())));
        dlg->SetTitleToTopDistance(16);
        QCOMPARE(label->y(), 16);
        SFDestroyControl(dlg);
    }

    // Without a compositor there is no shadow: the client rectangle is the whole window.
    void windowGeometryOperations() {
        PlainDialog logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        dlg->MoveWindow(100, 120, 300, 200);
        dlg->SetFrameShadow(true);
        dlg->SetDlgWindowPos(nullptr, 0, 0, 250, 150, 0x0002);  // keeps the position
        tagRECT window{}, client{};
        dlg->GetDlgWindowRect(&window);
        dlg->GetDlgClientRect(&client);
        QCOMPARE(SFQt::ToQRect(window), QRect(100, 120, 250, 150));
        QCOMPARE(SFQt::ToQRect(client), QRect(0, 0, 250, 150));
        SFDestroyControl(dlg);
    }

    void comboBoxReportsUserChangesOnly() {
        Heard h;
        QWidget parent;
        const tagRECT rect{10, 10, 144, 27};
        CSFComboBox* combo = Made(SFCreateComboBox(&h), SF_WS_VISIBLE, &rect, &parent, 215);
        wchar_t buffer[8];
        h << combo->AddString(L"Default Image 1") << combo->AddString(L"Default Image 2")
          << combo->AddString(L"No Image") << combo->GetCurSel() << combo->SetCurSel(2)
          << combo->SetCurSel(3) << combo->SetCurSel(-1) << combo->GetCurSel()
          << combo->DeleteString(3) << combo->GetCount() << combo->GetLBText(0, buffer, 8)
          << combo->GetLBText(9, buffer, 8);
        QCOMPARE(h.Take(), QStringLiteral("0 1 2 0 2 -1 -1 2 -1 3 15 -1"));  // all silent
        QCOMPARE(std::wstring(buffer), std::wstring(L"Default"));            // cut, terminated
        QTest::keyClick(W(combo), Qt::Key_Up);  // the user picks the previous entry
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(W(combo), &wheel);  // the wheel changes nothing
        h << combo->GetCurSel() << combo->DeleteString(2);
        combo->SetWindowTextW(L"Default Image 1");  // a programmatic change like SetCurSel
        h << combo->GetCurSel() << combo->SetSkin(nullptr);
        QCOMPARE(h.Take(), QStringLiteral("select:1 1 2 0 0"));
    }

    void comboBoxWithoutItemsDoesNotStayOpen() {
        QWidget parent;
        parent.resize(200, 60);
        auto* combo = static_cast<CSFQTComboBox*>(SFCreateComboBox(nullptr));
        const tagRECT rect{10, 10, 144, 27};
        combo->Create(SF_WS_VISIBLE, &rect, &parent, 215);
        ImageComboBoxStyle style;
        style.stateRects[0] = L"0,0,134,17";
        combo->SetSkin(&style);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(20, 8));  // no list to open
        QCOMPARE(combo->LookState(), int(CSFQTComboBox::kNormal));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(combo, &enter);
        QCOMPARE(combo->LookState(), int(CSFQTComboBox::kHover));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(combo, &leave);
        QCOMPARE(combo->LookState(), int(CSFQTComboBox::kNormal));
        combo->EnableWindow(0);
        QCOMPARE(combo->LookState(), int(CSFQTComboBox::kDisabled));
    }

    void controlDestroyedInsideItsCallback_data() {
        QTest::addColumn<int>("kind");   // 0 static, 1 picture, 2 edit, 3 button
        QTest::addColumn<int>("input");  // 0 press, 1 release, 2 move, 3 enter, 4 leave
        for (int input : {0, 1, 2}) {
            QTest::addRow("static/%d", input) << 0 << input;
            QTest::addRow("picture/%d", input) << 1 << input;
        }
        QTest::addRow("edit/press") << 2 << 0;
        QTest::addRow("button/enter") << 3 << 3;
        QTest::addRow("button/leave") << 3 << 4;
    }

    void controlDestroyedInsideItsCallback() {
        QFETCH(int, kind);
        QFETCH(int, input);
        QWidget parent;
        parent.resize(200, 100);
        Destroyer sink;
        const tagRECT r{0, 0, 120, 30};
        const std::function<CSFControl*()> make[] = {
            [&] { return Made(SFCreateStatic(&sink), L"W", SF_WS_VISIBLE, &r, &parent, 1); },
            [&] { return Made(SFCreatePictureCtrl(&sink), L"", SF_WS_VISIBLE, &r, &parent, 2); },
            [&] { return Made(SFCreateEditCtrl(&sink), SF_WS_VISIBLE, &r, &parent, 3, 0); },
            [&] { return Made(SFCreateButton(&sink), L"OK", SF_WS_VISIBLE, &r, &parent, 4); }};
        sink.target = make[kind]();
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QPointer<QWidget> widget = W(sink.target);
        const QPoint at(10, 10);
        QEnterEvent enter(at, at, at);
        QEvent leave(QEvent::Leave);
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);  // a drag: also without tracking
        QEvent* events[] = {&press, &release, &move, &enter, &leave};
        sink.armed = true;
        QCoreApplication::sendEvent(widget.data(), events[input]);
        QVERIFY(widget.isNull());  // gone, and nothing touched it afterwards
    }

    // The number spinner reports programmatic changes too, the double spinner user input only.
    void spinnersReportTheirChanges() {
        Heard h;
        const tagRECT rect{0, 0, 100, 18};
        CSFNumSpiner* spin = Made(SFCreateNumSpiner(&h), L"ignored", &rect, nullptr, 212);
        spin->SetRange(1, 1000);
        h.Take();
        spin->SetCurrentNum(1);  // already 1: nothing
        spin->SetCurrentNum(5);
        spin->SetRange(1, 3);  // clamps the value to 3: reported
        QTest::keyClick(W(spin), Qt::Key_Down);
        spin->SetCircleStep(1);
        spin->SetCurrentNum(3);
        spin->StepUp();
        h << spin->GetCurrentNum();
        QCOMPARE(h.Take(), QStringLiteral("num:5 num:3 num:2 num:3 num:1 1"));
        SFDestroyControl(spin);
        CSFDoubleSpiner* real = Made(SFCreateDoubleSpiner(&h), nullptr, &rect, nullptr, 206);
        real->SetRange(2.0, 60.0);
        real->SetCurrentNum(6.0);
        real->SetRange(2.0, 4.0);  // clamps silently
        h << int(real->GetCurrentNum());
        QTest::keyClick(W(real), Qt::Key_Down);
        h << W(real)->isVisible();  // Create neither shows nor hides
        QCOMPARE(h.Take(), QStringLiteral("4 real:3 0"));
        SFDestroyControl(real);
    }

    void radioBoxFlipsAndReportsEveryClick() {
        Heard h;
        QWidget parent;
        const tagRECT rect{0, 0, 65, 27};
        CSFRadioBox* radio =
            Made(SFCreateRadioBox(&h), L"Meters", SF_WS_VISIBLE, &rect, &parent, 204);
        radio->SetCheck(1);  // silent
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(W(radio), Qt::LeftButton, {}, QPoint(10, 10));
        }
        // A release outside the box is no click.
        QTest::mousePress(W(radio), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(W(radio), Qt::LeftButton, {}, QPoint(300, 10));
        h << radio->GetCheck();
        QCOMPARE(h.Take(), QStringLiteral("radio:0 radio:1 radio:0 0"));
    }

    // Rows past the end are appended, bad cells and rows answer -1; a menu id already taken adds
    // nothing; the scroll area reports only when asked to; wrapped static text grows, and a
    // short buffer takes a cut, terminated text.
    void listMenuScrollAreaAndStaticAnswer() {
        Heard h;
        const tagRECT rect{0, 0, 300, 200};
        CSFListCtrl* list = Made(SFCreateListCtrl(&h), SF_WS_VISIBLE, &rect, nullptr, 400, 0);
        wchar_t text[8];
        h << list->InsertColumn(0, L"Model", SF_ALIGN_LEFT, 120, 0)
          << list->InsertColumn(1, L"Size", SF_ALIGN_CENTER, 60, 1) << list->InsertItem(0, L"A")
          << list->InsertItem(99, L"B") << list->SetItemText(1, 1, L"55")
          << list->SetItemText(2, 0, L"x") << list->SetItemText(0, 5, L"x")
          << list->GetItemText(-1, 0, text, 8) << list->GetFirstSelectedRow()
          << list->SetRowSelected(7) << list->SetRowSelected(1) << list->DeleteItem(5);
        int pos = list->GetFirstSelectedItemPosition();
        h << list->GetNextSelectedItem(pos) << pos;
        QCOMPARE(h.Take(), QStringLiteral("0 1 0 1 1 -1 -1 -1 -1 -1 row:1 1 -1 1 0"));
        CSFMenu* menu = Made(SFCreateMenu(&h), 0, nullptr, nullptr, 0);
        h << menu->AddAction(L"English", 1) << menu->AddAction(L"中文", 2)
          << menu->AddAction(L"dup", 2) << menu->IsActionChecked(42);
        static_cast<CSFQTMenu*>(menu)->Action(2)->trigger();
        CSFScrollArea* area =
            Made(SFCreateScrollArea(&h), SF_WS_VISIBLE, &rect, 200, 1000, nullptr, 5);
        area->SetRange(0, 500);
        area->SetValue(40, false);
        area->SetValue(80, true);
        h << area->GetValue();
        QCOMPARE(h.Take(), QStringLiteral("1 1 0 0 action:2 value:80 80"));
        CSFStatic* label = Made(SFCreateStatic(nullptr), L"OK", 0, &rect, nullptr, 0);
        label->SetWordWrap(1);
        const int one = label->GetTextHeight(280);
        label->SetStaticText(
            L"The path is too long, please select again. The path is too long, "
            L"please select again. The path is too long, please select again.",
            true);
        QVERIFY(one > 0);
        QVERIFY(label->GetTextHeight(280) >= 2 * one);
        QCOMPARE(label->GetStaticText(text, 4), 3);
        for (CSFControl* c : std::initializer_list<CSFControl*>{list, menu, area, label}) {
            SFDestroyControl(c);
        }
    }

    void editReportsChangesAndFiltersInput() {
        Heard h;
        const tagRECT rect{0, 0, 200, 24};
        CSFEditCtrl* edit = Made(SFCreateEditCtrl(&h), SF_WS_VISIBLE, &rect, nullptr, 304, 0);
        edit->SetRegExp(L"[^*/\\\\<>|]*$");
        edit->SetMaxCharacterLength(5);
        QTest::keyClicks(W(edit), QStringLiteral("a*b/c|def"));
        QVERIFY(h.Take().endsWith(QStringLiteral(" abcde")));
        QTest::keyClick(W(edit), Qt::Key_Return);
        QCOMPARE(h.Take(), QStringLiteral("enter:abcde"));
        edit->SetRegExp(L"(unclosed");  // an invalid pattern removes the filter
        edit->SetWindowTextW(L"*");
        wchar_t text[16];
        edit->GetWindowTextW(text, 16);
        QCOMPARE(std::wstring(text), std::wstring(L"*"));
        SFDestroyControl(edit);
    }

    void buttonStatesFollowThePointer() {  // sink-less: works silently
        QWidget parent;
        parent.show();
        auto* button = static_cast<CSFQTButton*>(SFCreateButton(nullptr));
        const tagRECT rect{0, 0, 80, 27};
        button->Create(L"Fit", SF_WS_VISIBLE, &rect, &parent, 208);
        QCOMPARE(button->VisualState(), int(CSFQTButton::kNormal));
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(button, &enter);
        QCOMPARE(button->VisualState(), int(CSFQTButton::kHovered));
        QTest::mousePress(button, Qt::LeftButton);
        QCOMPARE(button->VisualState(), int(CSFQTButton::kPressed));
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(button->VisualState(), int(CSFQTButton::kNormal));
    }

    // Bare names come from the skin directory only: without one nothing is read from the
    // working directory (or, for names with a leading slash, from the file system's root).
    void pictureLoadsSkinNamesAndPaths() {
        QTemporaryDir dir;
        QImage image(16, 9, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        QVERIFY(image.save(dir.filePath(QStringLiteral("pic.png"))));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        auto* picture = static_cast<CSFQTPictureCtrl*>(SFCreatePictureCtrl(nullptr));
        const tagRECT rect{0, 0, 32, 18};
        picture->Create(L"", SF_WS_VISIBLE, &rect, nullptr, 0);
        SFSetSkinPath(nullptr);
        const int withoutDirectory = picture->SetImage(L"pic.png");
        SFSetSkinPath(L"");
        const bool emptyDirectory = SFLoadSkinImage(L"pic.png").isNull();
        QDir::setCurrent(previous);
        QCOMPARE(withoutDirectory, 0);
        QVERIFY(emptyDirectory);
        SFSetSkinPath((dir.path() + QStringLiteral("/")).toStdWString().c_str());
        QCOMPARE(picture->SetImage(L"pic.png"), 1);
        QCOMPARE(picture->Picture().size(), QSize(16, 9));
        QCOMPARE(picture->SetImage(L"missing.png"), 0);
        QVERIFY(picture->Picture().isNull());
        SFDestroyControl(picture);
        SFSetSkinPath(nullptr);
    }

    void styleSheetLoadsOnlyFromAReadableFile() {  // as UTF-8
        QTemporaryDir dir;
        QFile css(dir.filePath(QStringLiteral("Tessaro.css")));
        QVERIFY(css.open(QIODevice::WriteOnly) && css.write("QToolTip {} /* \xE4\xB8\xAD */") > 0);
        css.close();
        SFSetApplication(qApp);
        QCOMPARE(SFLoadStyleSheet(css.fileName().toStdWString().c_str()), 1);
        QCOMPARE(SFLoadStyleSheet(L"/nonexistent/Tessaro.css"), 0);  // changes nothing
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8("QToolTip {} /* \xE4\xB8\xAD */"));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(SFQTControlsTest)
#include "SFQTControlsTest.moc"
