// The notification rules of the controls under the offscreen platform: which changes report
// and which stay silent, radio flipping, visibility at creation, null sinks and bad indexes.
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"
#include "toolkit/qt/SFQTButtons.h"
#include "toolkit/qt/SFQTLabels.h"
#include "toolkit/qt/SFQTLists.h"
#include "toolkit/qt/SFQTScrollMenu.h"

#include <QImage>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPointer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

struct Recorder : ISFComboBoxEvent,
                  ISFNumSpinerEvent,
                  ISFDoubleSpinerEvent,
                  ISFRadioBoxEvent,
                  ISFButtonEvent,
                  ISFMenuEvent,
                  ISFScrollAreaEvent,
                  ISFListCtrlEvent {
    std::vector<int> selections;
    std::vector<int> numbers;
    std::vector<double> doubles;
    std::vector<int> radioStates;
    std::vector<int> actions;
    std::vector<int> scrolls;
    std::vector<int> rows;
    void OnSelected(int row) override { rows.push_back(row); }
    void SelectChanged(uint32_t, int index) override { selections.push_back(index); }
    void OnCurrentNumChanged(uint32_t, int value) override { numbers.push_back(value); }
    void OnCurrentNumChanged(uint32_t, double value) override { doubles.push_back(value); }
    void RADIO_OnClicked(uint32_t, int state, tagPOINT) override { radioStates.push_back(state); }
    void Menu_OnAction(int id) override { actions.push_back(id); }
    void OnChange(uint32_t, int value, int) override { scrolls.push_back(value); }
};

QWidget* W(CSFControl* c) {
    return static_cast<QWidget*>(c->GetUIWnd());
}

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

}  // namespace

class SFQTControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void comboBoxReportsUserChangesOnly() {
        Recorder r;
        QWidget parent;
        CSFComboBox* combo = SFCreateComboBox(&r);
        const tagRECT rect{10, 10, 144, 27};
        combo->Create(SF_WS_VISIBLE, &rect, &parent, 215);
        combo->AddString(L"Default Image 1");
        combo->AddString(L"Default Image 2");
        QCOMPARE(combo->AddString(L"No Image"), 2);
        QCOMPARE(combo->GetCurSel(), 0);
        QCOMPARE(combo->SetCurSel(2), 2);
        QCOMPARE(combo->SetCurSel(3), -1);
        QCOMPARE(combo->SetCurSel(-1), -1);
        QCOMPARE(combo->GetCurSel(), 2);
        QCOMPARE(combo->DeleteString(3), -1);
        QCOMPARE(combo->GetCount(), 3);
        wchar_t buffer[8];
        QCOMPARE(combo->GetLBText(0, buffer, 8), 15);
        QCOMPARE(std::wstring(buffer), std::wstring(L"Default"));  // cut, terminated
        QCOMPARE(combo->GetLBText(9, buffer, 8), -1);
        QVERIFY(r.selections.empty());

        QTest::keyClick(W(combo), Qt::Key_Up);  // the user picks the previous entry
        QCOMPARE(r.selections, std::vector<int>{1});
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(W(combo), &wheel);
        QCOMPARE(combo->GetCurSel(), 1);  // the wheel changes nothing
        QCOMPARE(combo->DeleteString(2), 2);
        combo->SetWindowTextW(L"Default Image 1");  // a programmatic change like SetCurSel
        QCOMPARE(combo->GetCurSel(), 0);
        QCOMPARE(r.selections, std::vector<int>{1});
        QCOMPARE(combo->SetSkin(nullptr), 0);
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
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("input");  // 0 press, 1 release, 2 move, 3 enter, 4 leave
        const char* kinds[] = {"static", "picture"};
        for (const char* kind : kinds) {
            for (int input : {0, 1, 2}) {
                QTest::addRow("%s/%d", kind, input) << QString::fromLatin1(kind) << input;
            }
        }
        QTest::addRow("edit/press") << QStringLiteral("edit") << 0;
        QTest::addRow("button/enter") << QStringLiteral("button") << 3;
        QTest::addRow("button/leave") << QStringLiteral("button") << 4;
    }

    void controlDestroyedInsideItsCallback() {
        QFETCH(QString, kind);
        QFETCH(int, input);
        QWidget parent;
        parent.resize(200, 100);
        Destroyer sink;
        const tagRECT rect{0, 0, 120, 30};
        if (kind == QStringLiteral("static")) {
            CSFStatic* c = SFCreateStatic(&sink);
            c->Create(L"Width", SF_WS_VISIBLE, &rect, &parent, 1);
            sink.target = c;
        } else if (kind == QStringLiteral("picture")) {
            CSFPictureCtrl* c = SFCreatePictureCtrl(&sink);
            c->Create(L"", SF_WS_VISIBLE, &rect, &parent, 2);
            sink.target = c;
        } else if (kind == QStringLiteral("edit")) {
            CSFEditCtrl* c = SFCreateEditCtrl(&sink);
            c->Create(SF_WS_VISIBLE, &rect, &parent, 3, 0);
            sink.target = c;
        } else {
            CSFButton* c = SFCreateButton(&sink);
            c->Create(L"OK", SF_WS_VISIBLE, &rect, &parent, 4);
            sink.target = c;
        }
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
        Recorder r;
        const tagRECT rect{0, 0, 100, 18};
        CSFNumSpiner* spin = SFCreateNumSpiner(&r);
        spin->Create(L"ignored", &rect, nullptr, 212);
        spin->SetRange(1, 1000);
        r.numbers.clear();
        spin->SetCurrentNum(1);  // already 1: nothing
        spin->SetCurrentNum(5);
        spin->SetRange(1, 3);  // clamps the value to 3: reported
        QTest::keyClick(W(spin), Qt::Key_Down);
        QCOMPARE(r.numbers, (std::vector<int>{5, 3, 2}));
        spin->SetCircleStep(1);
        spin->SetCurrentNum(3);
        spin->StepUp();
        QCOMPARE(spin->GetCurrentNum(), 1);
        SFDestroyControl(spin);

        CSFDoubleSpiner* real = SFCreateDoubleSpiner(&r);
        real->Create(nullptr, &rect, nullptr, 206);
        real->SetRange(2.0, 60.0);
        real->SetCurrentNum(6.0);
        real->SetRange(2.0, 4.0);  // clamps silently
        QCOMPARE(real->GetCurrentNum(), 4.0);
        QVERIFY(r.doubles.empty());
        QTest::keyClick(W(real), Qt::Key_Down);
        QCOMPARE(r.doubles, std::vector<double>{3.0});
        QCOMPARE(W(real)->isVisible(), false);  // Create neither shows nor hides
        SFDestroyControl(real);
    }

    void radioBoxFlipsAndReportsEveryClick() {
        Recorder r;
        QWidget parent;
        parent.resize(200, 100);
        CSFRadioBox* radio = SFCreateRadioBox(&r);
        const tagRECT rect{0, 0, 65, 27};
        radio->Create(L"Meters", SF_WS_VISIBLE, &rect, &parent, 204);
        radio->SetCheck(1);
        QVERIFY(r.radioStates.empty());  // SetCheck is silent
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(W(radio), Qt::LeftButton, {}, QPoint(10, 10));
        }
        QCOMPARE(r.radioStates, (std::vector<int>{0, 1, 0}));
        QCOMPARE(radio->GetCheck(), 0);
        // A release outside the box is no click.
        QTest::mousePress(W(radio), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(W(radio), Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(r.radioStates.size(), size_t(3));
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

    void menuAndScrollAreaReport() {
        Recorder r;
        CSFMenu* menu = SFCreateMenu(&r);
        menu->Create(0, nullptr, nullptr, 0);
        QCOMPARE(menu->AddAction(L"English", 1), 1);
        QCOMPARE(menu->AddAction(L"中文", 2), 1);
        QCOMPARE(menu->AddAction(L"dup", 2), 0);
        QCOMPARE(menu->IsActionChecked(42), 0);
        static_cast<CSFQTMenu*>(menu)->Action(2)->trigger();
        QCOMPARE(r.actions, std::vector<int>{2});
        SFDestroyControl(menu);

        CSFScrollArea* area = SFCreateScrollArea(&r);
        const tagRECT rect{0, 0, 200, 100};
        area->Create(SF_WS_VISIBLE, &rect, 200, 1000, nullptr, 5);
        area->SetRange(0, 500);
        area->SetValue(40, false);
        QVERIFY(r.scrolls.empty());
        area->SetValue(80, true);
        QCOMPARE(r.scrolls, std::vector<int>{80});
        QCOMPARE(area->GetValue(), 80);
        SFDestroyControl(area);
    }

    void listControlRowsAndSelection() {
        Recorder r;
        CSFListCtrl* list = SFCreateListCtrl(&r);
        const tagRECT rect{0, 0, 400, 200};
        list->Create(SF_WS_VISIBLE, &rect, nullptr, 400, 0);
        QCOMPARE(list->InsertColumn(0, L"Model", SF_ALIGN_LEFT, 120, 0), 0);
        QCOMPARE(list->InsertColumn(1, L"Size", SF_ALIGN_CENTER, 60, 1), 1);
        QCOMPARE(list->InsertItem(0, L"QXM480VQX-RT"), 0);
        QCOMPARE(list->InsertItem(99, L"QXM490VQX-ST"), 1);  // clamped to the end
        QCOMPARE(list->SetItemText(1, 1, L"55\""), 1);
        QCOMPARE(list->SetItemText(2, 0, L"none"), -1);
        QCOMPARE(list->SetItemText(0, 5, L"none"), -1);
        wchar_t text[32];
        QCOMPARE(list->GetItemText(-1, 0, text, 32), -1);
        QCOMPARE(list->GetFirstSelectedRow(), -1);
        QCOMPARE(list->SetRowSelected(1), 1);
        QCOMPARE(list->SetRowSelected(7), -1);
        QCOMPARE(r.rows, std::vector<int>{1});
        int pos = list->GetFirstSelectedItemPosition();
        QCOMPARE(list->GetNextSelectedItem(pos), 1);
        QCOMPARE(pos, 0);
        QCOMPARE(list->DeleteItem(5), -1);
        SFDestroyControl(list);
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
        QCOMPARE(picture->SetImage(dir.filePath(QStringLiteral("pic.png")).toStdWString().c_str()),
                 1);
        QCOMPARE(picture->SetImage(L"missing.png"), 0);
        QVERIFY(picture->Picture().isNull());
        QCOMPARE(picture->SetImage(nullptr), 0);
        SFDestroyControl(picture);
        SFSetSkinPath(nullptr);
    }

    void staticTextHeightGrowsWithWrapping() {
        CSFStatic* label = SFCreateStatic(nullptr);
        const tagRECT rect{20, 10, 300, 40};
        label->Create(L"OK", 0, &rect, nullptr, 0);
        label->SetWordWrap(1);
        label->SetTextAlignFlag(SF_ALIGN_CENTER);
        const int one = label->GetTextHeight(280);
        QVERIFY(one > 0);
        label->SetStaticText(
            L"The path is too long, please select again. The path is too long, "
            L"please select again. The path is too long, please select again.",
            true);
        QVERIFY(label->GetTextHeight(280) >= 2 * one);
        wchar_t text[4];
        QCOMPARE(label->GetStaticText(text, 4), 3);
        SFDestroyControl(label);
    }

    void styleSheetLoadsOnlyFromAReadableFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tessaro.css"));
        QFile css(path);
        QVERIFY(css.open(QIODevice::WriteOnly));
        css.write("QToolTip { color: #222222; } /* \xE4\xB8\xAD */");
        css.close();
        SFSetApplication(qApp);
        QCOMPARE(SFLoadStyleSheet(path.toStdWString().c_str()), 1);
        QCOMPARE(qApp->styleSheet(),
                 QString::fromUtf8("QToolTip { color: #222222; } /* \xE4\xB8\xAD */"));
        QCOMPARE(SFLoadStyleSheet(L"/nonexistent/Tessaro.css"), 0);
        QVERIFY(!qApp->styleSheet().isEmpty());  // the missing file changed nothing
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(SFQTControlsTest)
#include "SFQTControlsTest.moc"
