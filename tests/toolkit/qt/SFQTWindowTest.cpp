// Skinned windows under the offscreen platform (where the window system moves and resizes
// nothing): the click path into a dialog's message map and its OK path, user-interface messages,
// frame composition from a known image, title-bar buttons, closing, resizing, timers.
#include "SFQTTestSupport.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"
#include "toolkit/qt/SFQTSkinnedWindow.h"

#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A dialog logic with one button (id 1) and a map entry for that command.
class OkDialogLogic : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(OkDialogLogic)
public:
    QStringList log;
    CSFButton* button = nullptr;
    int closeAnswer = 0;
    CSFDialog* destroyOnClose = nullptr;  // a logic that releases its window when asked to close
    std::vector<uint32_t> timers;

    int Dlg_OnInit(int created) override {
        log << QStringLiteral("init:%1").arg(created);
        if (button == nullptr) {
            button = SFCreateButton(this);
            const tagRECT r{20, 40, 100, 70};
            button->Create(L"OK", SF_WS_VISIBLE, &r, GetUIWnd(), 1);
        }
        return 1;
    }
    void Dlg_OnOK() override { log << QStringLiteral("Dlg_OnOK"); }
    void Dlg_OnCancel() override { log << QStringLiteral("Dlg_OnCancel"); }
    int Dlg_Close() override {
        log << QStringLiteral("Dlg_Close");
        SFDestroyControl(std::exchange(destroyOnClose, nullptr));
        return closeAnswer;
    }
    void OnDlgTimer(uint32_t id) override { timers.push_back(id); }
    void BTN_OnLButtonDown(uint32_t id, uint32_t, tagPOINT) override {
        log << QStringLiteral("down:%1").arg(id);
    }
    void BTN_OnLButtonUp(uint32_t id, uint32_t, tagPOINT) override {
        log << QStringLiteral("up:%1").arg(id);
    }
    void BTN_OnClicked(uint32_t id) override { log << QStringLiteral("clicked:%1").arg(id); }

private:
    void OnCommandOk() { log << QStringLiteral("map:1"); }
    OrvexBase::SF_LRESULT OnTick(OrvexBase::SF_WPARAM a, OrvexBase::SF_LPARAM b) {
        log << QStringLiteral("tick:%1,%2").arg(a).arg(b);
        return 0;
    }
    OrvexBase::SF_LRESULT OnOther(OrvexBase::SF_WPARAM, OrvexBase::SF_LPARAM) {
        log << QStringLiteral("other");
        return 0;
    }
};

SF_BEGIN_MESSAGE_MAP(OkDialogLogic)
SF_ON_COMMAND(1, OnCommandOk)
SF_ON_UI_MESSAGE(275, 9, OnTick)
SF_ON_UI_MESSAGE(276, 10, OnOther)           // another code: a posted message never matches
SF_ON_UI_MESSAGE(275, SF_UI_CLOSE, OnOther)  // the close code never reaches the map
SF_END_MESSAGE_MAP()

// A view whose map handles one user-interface message.
class ViewLogic : public ISFViewEvent {
    SF_DECLARE_MESSAGE_MAP(ViewLogic)
public:
    QStringList log;

private:
    OrvexBase::SF_LRESULT OnTick(OrvexBase::SF_WPARAM a, OrvexBase::SF_LPARAM b) {
        log << QStringLiteral("tick:%1,%2").arg(a).arg(b);
        return 0;
    }
};
SF_BEGIN_MESSAGE_MAP(ViewLogic)
SF_ON_UI_MESSAGE(275, 9, OnTick)
SF_END_MESSAGE_MAP()

enum Sender { kPosted, kSent, kView };

// The colour at a logical point of the window, at whatever pixel ratio it is drawn.
QColor Pixel(QWidget* w, QPoint at) {
    const QImage image = w->grab().toImage();
    return image.pixelColor(at * image.devicePixelRatio());
}

CSFDialog* NewWindow(OkDialogLogic& logic, bool mainWindow) {
    return mainWindow ? SFCreateMainWindow(&logic, nullptr) : SFCreateDialog(&logic, nullptr, 0);
}

}  // namespace

class SFQTWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_skinDir;

    // A frame image whose pieces are solid colours, so every pixel of a composition tells
    // which piece drew it. A (0,0,10,35) red, B (30,0,15,35) green, C (76,0,10,35) blue, the
    // edges grey, title-button states yellow / cyan / magenta at (11,41) (41,41) (71,41). Its
    // twin (frame@2x.png, loaded where the pixel ratio is 2) is the same at twice the size, with
    // one detail only a ratio-2 image can hold: the first device column of B is dark green.
    void WriteFrameImages() {
        for (const int r : {1, 2}) {
            QImage img(100 * r, 85 * r, QImage::Format_ARGB32);
            img.fill(QColor(128, 128, 128));
            QPainter painter(&img);
            painter.scale(r, r);
            painter.fillRect(0, 0, 10, 35, Qt::red);
            painter.fillRect(30, 0, 15, 35, Qt::green);
            painter.fillRect(76, 0, 10, 35, Qt::blue);
            painter.fillRect(11, 41, 23, 14, Qt::yellow);
            painter.fillRect(41, 41, 23, 14, Qt::cyan);
            painter.fillRect(71, 41, 23, 14, Qt::magenta);
            painter.resetTransform();
            if (r == 2) {
                painter.fillRect(60, 0, 1, 70, Qt::darkGreen);
            }
            painter.end();
            QVERIFY(img.save(m_skinDir.filePath(r == 1 ? QStringLiteral("frame.png")
                                                       : QStringLiteral("frame@2x.png"))));
        }
    }

    static DialogStyle FrameStyle(const wchar_t* closePosition) {
        DialogStyle s;
        s.frameImage = L"frame.png";
        s.backgroundColor = L"ffffff";
        const wchar_t* pieces[12] = {L"0,0,10,35", L"30,0,15,35", L"76,0,10,35", L"0,37,1,30",
                                     L"0,37,1,30", L"0,37,1,30",  L"0,84,10,1",  L"10,84,30,1",
                                     L"85,84,1,1", L"85,37,1,30", L"85,37,1,30", L"85,37,1,30"};
        for (int i = 0; i < 12; ++i) {
            s.pieces[i].rect = pieces[i];
        }
        // Button 1 (close, the last three state rectangles) and button 3 (minimise) left of it.
        for (int first : {3, 9}) {
            s.buttonStateRects[first] = L"11,41,23,14";
            s.buttonStateRects[first + 1] = L"41,41,23,14";
            s.buttonStateRects[first + 2] = L"71,41,23,14";
        }
        s.buttonPositions[3] = closePosition;
        s.buttonPositions[1] = L"-90,2,23,14";
        s.titleColor = L"333333";
        s.titleArea = L"20,0,1000,27";
        return s;
    }

    // A shown skinned dialog or main window of 300 x 200 with the close button at the right.
    CSFDialog* ShowSkinned(OkDialogLogic& logic, bool mainWindow) {
        CSFDialog* w = NewWindow(logic, mainWindow);
        w->MoveWindow(100, 100, 300, 200);
        const DialogStyle style = FrameStyle(L"-30,2,23,14");
        w->SetSkin(&style);
        w->ShowWindow(1);
        return w;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_skinDir.isValid());
        WriteFrameImages();
        SFSetSkinPath((m_skinDir.path() + QStringLiteral("/")).toStdWString().c_str());
    }

    // A modal run returns 1 when accepted and 2 when rejected or closed, for both windows; a
    // click on the button of id 1 goes through the sink, then the map, then the OK path.
    void modalRunResult_data() {
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<int>("end");  // 0 MFCOK, 1 MFCCancel, 2 close, 3 click (without Create)
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("log");  // Create inits with 1, every modal run with 0
        for (bool mainWindow : {false, true}) {
            const char* kind = mainWindow ? "main" : "dialog";
            QTest::addRow("%s/ok", kind) << mainWindow << 0 << 1 << "init:1 init:0 Dlg_OnOK";
            QTest::addRow("%s/cancel", kind)
                << mainWindow << 1 << 2 << "init:1 init:0 Dlg_OnCancel";
            QTest::addRow("%s/close", kind) << mainWindow << 2 << 2 << "init:1 init:0 Dlg_Close";
            QTest::addRow("%s/click", kind)
                << mainWindow << 3 << 1 << "init:0 down:1 up:1 clicked:1 map:1 Dlg_OnOK";
        }
    }
    void modalRunResult() {
        QFETCH(bool, mainWindow);
        QFETCH(int, end);
        QFETCH(int, expected);
        QFETCH(QString, log);
        OkDialogLogic logic;
        CSFDialog* w = NewWindow(logic, mainWindow);
        QVERIFY(W(w)->windowFlags().testFlag(Qt::FramelessWindowHint));
        w->MoveWindow(0, 0, 200, 120);
        if (end != 3) {
            QCOMPARE(w->Create(L"Tessaro", nullptr), 1);
        }
        QTimer::singleShot(0, [&] {
            end == 0   ? w->MFCOK()
            : end == 1 ? w->MFCCancel()
            : end == 2 ? void(W(w)->close())
                       : QTest::mouseClick(W(logic.button), Qt::LeftButton);
        });
        QCOMPARE(w->DoModalDlg(), expected);
        QCOMPARE(logic.log.join(u' '), log);
        SFDestroyControl(w);
    }

    void frameComposesOneTileCutByRightCornerOrNothing() {
        OkDialogLogic logic;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        const DialogStyle style = FrameStyle(L"");
        QCOMPARE(dlg->SetSkin(&style), 1);
        dlg->MoveWindow(0, 0, 30, 100);  // A.w + C.w + 10
        // The first paint at a size paints the pieces in place, a second one copies the composed
        // frame: the same pixels.
        const QImage inPlace = dlg->grab().toImage();
        QCOMPARE(dlg->grab().toImage(), inPlace);
        // Pixel for pixel at the skin's ratio (run at 1 and at 2): at 2 the twin is cut at twice
        // the rectangles and every piece lands on whole device pixels.
        const int r = SFSkinImageRatio();
        const QImage frame = dlg->ComposedFrame().toImage();
        QCOMPARE(frame.size(), QSize(30, 100) * r);
        QCOMPARE(frame.devicePixelRatio(), qreal(r));
        for (int x = 0; x < 30 * r; ++x) {
            const QColor expected = x < 10 * r              ? Qt::red
                                    : r == 2 && x == 10 * r ? Qt::darkGreen
                                    : x < 20 * r            ? Qt::green
                                                            : Qt::blue;
            QCOMPARE(frame.pixelColor(x, 5 * r), expected);
        }
        QCOMPARE(Pixel(dlg, {15, 10}), QColor(Qt::green));  // the window shows the same pixels
        QCOMPARE(Pixel(dlg, {25, 10}), QColor(Qt::blue));
        QCOMPARE(dlg->SetSkin(nullptr), 0);
        DialogStyle broken;
        broken.frameImage = L"missing.png";
        broken.backgroundColor = L"000000";
        QCOMPARE(dlg->SetSkin(&broken), 1);
        // No frame image: the plain light surface, not the record's black background colour.
        QCOMPARE(Pixel(dlg, {15, 50}), SFQt::kSurface);
        SFDestroyControl(dlg);
    }

    void emptyPiecesStillEnd() {
        QRect pieces[12];
        pieces[0] = QRect(0, 0, 10, 35);  // every repeated piece left empty
        QImage frame(QSize(86, 85), QImage::Format_ARGB32);
        frame.fill(Qt::gray);
        const QPixmap composed = SFComposeFrame(QPixmap::fromImage(frame), pieces, QPixmap(),
                                                QColor(Qt::white), QSize(500, 400));
        QCOMPARE(composed.size(), QSize(500, 400));
        QVERIFY(SFComposeFrame(QPixmap(), pieces, QPixmap(), QColor(), QSize(0, 10)).isNull());
    }

    void titleButtonStatesAndMinimiseRestoresMaximised() {
        OkDialogLogic logic;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        dlg->MoveWindow(0, 0, 400, 200);
        const DialogStyle style = FrameStyle(L"-30,2,23,14");
        dlg->SetSkin(&style);
        dlg->ShowWindow(1);
        QVERIFY(QTest::qWaitForWindowExposed(dlg));

        const QPoint onClose = dlg->TitleButtonRect(SFTitleButton::Close).center();
        QTest::mouseMove(dlg, onClose);
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Hover);
        QTest::mousePress(dlg, Qt::LeftButton, {}, onClose);
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Pressed);
        // The pressed picture is cut from the frame image (magenta state rectangle).
        QCOMPARE(Pixel(dlg, onClose), QColor(Qt::magenta));
        QTest::mouseMove(dlg, QPoint(150, 100));
        QTest::mouseRelease(dlg, Qt::LeftButton, {}, QPoint(150, 100));
        // Released elsewhere: back to normal, and no action.
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Normal);
        QVERIFY(dlg->isVisible());

        dlg->showMaximized();
        QTRY_VERIFY(dlg->isMaximized());
        // The window system resizes the maximised window afterwards: wait for that size.
        QTRY_COMPARE(dlg->size(), dlg->screen()->availableGeometry().size());
        const QPoint onMinimise = dlg->TitleButtonRect(SFTitleButton::Minimize).center();
        QTest::mouseMove(dlg, onMinimise);
        QTest::mousePress(dlg, Qt::LeftButton, {}, onMinimise);
        QTest::mouseRelease(dlg, Qt::LeftButton, {}, onMinimise);
        QTRY_VERIFY(!dlg->isMaximized());
        QVERIFY(!dlg->isMinimized());
        for (int width : {400, 640, 180, 333}) {  // x = -30 keeps to the right edge
            dlg->MoveWindow(0, 0, width, 200);
            QCOMPARE(dlg->TitleButtonRect(SFTitleButton::Close).x(), width - 30);
        }
        SFDestroyControl(dlg);
    }

    // A user-interface message reaches the one entry with its code and id, with the message's
    // two values, whether posted (SFPostUIMessage) or sent (SendDlgMessage), to a dialog or a
    // view.
    void uiMessageReachesTheEntryOfItsCodeAndId_data() {
        QTest::addColumn<int>("sender");
        QTest::addColumn<uint32_t>("id");
        QTest::addColumn<QString>("expected");
        const char* names[] = {"posted", "sent", "view"};
        for (int sender : {kPosted, kSent, kView}) {
            const char* name = names[sender];
            QTest::addRow("%s/entry", name) << sender << 9u << QStringLiteral("tick:77,9");
            QTest::addRow("%s/other_code", name) << sender << 10u << QString();
            QTest::addRow("%s/no_entry", name) << sender << 11u << QString();
        }
    }
    void uiMessageReachesTheEntryOfItsCodeAndId() {
        QFETCH(int, sender);
        QFETCH(uint32_t, id);
        QFETCH(QString, expected);
        OkDialogLogic dialogLogic;
        ViewLogic viewLogic;
        CSFDialog* dlg = SFCreateDialog(&dialogLogic, nullptr, 0);
        CSFView* view = SFCreateView(&viewLogic);
        const tagRECT rect{0, 0, 50, 50};
        view->Create(L"", L"", 0, &rect, nullptr, 3);
        const QStringList& log = sender == kView ? viewLogic.log : dialogLogic.log;
        void* target = sender == kView ? viewLogic.GetUIWnd() : dlg->GetUIWnd();
        if (sender == kSent) {
            QCOMPARE(dlg->SendDlgMessage(275, id, 77), intptr_t(expected.isEmpty() ? 0 : 1));
        } else {
            QCOMPARE(SFPostUIMessage(target, id, 77), 1);
            QCoreApplication::sendPostedEvents();
        }
        QCOMPARE(log.join(u' '), expected);
        // A message still waiting when its window goes is dropped; a dead window takes none.
        QCOMPARE(SFPostUIMessage(target, id, 77), 1);
        SFDestroyControl(view);
        QVERIFY(viewLogic.GetUIWnd() == nullptr);
        SFDestroyControl(dlg);
        QCOMPARE(SFPostUIMessage(target, id, 77), 0);
        QCOMPARE(SFPostUIMessage(nullptr, id, 77), 0);
        QCoreApplication::processEvents();
        QCOMPARE(log.join(u' '), expected);
    }

    // The close message, posted or sent, closes a dialog or main window exactly as the title
    // bar's close button does: Dlg_Close once, and a non-zero answer keeps the window open. A
    // logic may destroy its window inside Dlg_Close: nothing touches the freed window then.
    void closeRequestsGoThroughDlgClose_data() {
        QTest::addColumn<int>("how");  // 0 close button, 1 posted close message, 2 sent
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<int>("outcome");  // 0 closed, 1 kept open, 2 destroyed in Dlg_Close
        const char* hows[] = {"button", "posted", "sent"};
        const char* outcomes[] = {"closed", "kept", "destroyed"};
        for (int how = 0; how < 3; ++how) {
            for (bool mainWindow : {false, true}) {
                for (int outcome = 0; outcome < (how == 2 ? 2 : 3); ++outcome) {
                    QTest::addRow("%s/%s/%s", hows[how], mainWindow ? "main" : "dialog",
                                  outcomes[outcome])
                        << how << mainWindow << outcome;
                }
            }
        }
    }
    void closeRequestsGoThroughDlgClose() {
        QFETCH(int, how);
        QFETCH(bool, mainWindow);
        QFETCH(int, outcome);
        OkDialogLogic logic;
        logic.closeAnswer = outcome == 1 ? 1 : 0;
        CSFDialog* w = ShowSkinned(logic, mainWindow);
        logic.destroyOnClose = outcome == 2 ? w : nullptr;
        QPointer<QWidget> widget = W(w);
        QVERIFY(QTest::qWaitForWindowExposed(widget.data()));
        if (how == 0) {
            QTest::mouseClick(widget.data(), Qt::LeftButton, {}, QPoint(300 - 30 + 11, 2 + 7));
        } else if (how == 1) {
            QCOMPARE(SFPostUIMessage(widget.data(), SF_UI_CLOSE, 0), 1);
        } else {
            QCOMPARE(w->SendDlgMessage(SF_UI_CLOSE, 0, 0), intptr_t(1));
        }
        QTRY_COMPARE(logic.log, QStringList{QStringLiteral("Dlg_Close")});
        QCoreApplication::processEvents();
        if (outcome == 2) {
            QVERIFY(widget.isNull());
            return;
        }
        QCOMPARE(widget->isVisible(), outcome == 1);
        SFDestroyControl(w);
    }

    // A press within 6 pixels of the border of a resizable window resizes it by hand where the
    // window system refuses, the opposite edges staying put; it never moves the window. Without
    // the window system's help a press on the title moves any window, one below the title only
    // a resizable one.
    void pointerMovesOrResizesByHand_data() {
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<QPoint>("press");  // in the 300 x 200 window
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QRect>("expected");  // the start geometry is (100,100,300,200)
        QTest::newRow("right") << true << QPoint(297, 100) << QPoint(40, 25)
                               << QRect(100, 100, 340, 200);
        QTest::newRow("left") << true << QPoint(2, 100) << QPoint(-40, 25)
                              << QRect(60, 100, 340, 200);
        QTest::newRow("bottom") << true << QPoint(150, 197) << QPoint(30, 50)
                                << QRect(100, 100, 300, 250);
        QTest::newRow("top_left") << true << QPoint(2, 2) << QPoint(30, 20)
                                  << QRect(130, 120, 270, 180);
        QTest::newRow("above_minimum")
            << true << QPoint(297, 100) << QPoint(-290, 0) << QRect(100, 100, 120, 200);
        QTest::newRow("title") << false << QPoint(50, 12) << QPoint(30, 30)
                               << QRect(130, 130, 300, 200);
        QTest::newRow("content") << false << QPoint(150, 100) << QPoint(40, 40)
                                 << QRect(100, 100, 300, 200);
        QTest::newRow("content/resizable")
            << true << QPoint(150, 100) << QPoint(40, 40) << QRect(140, 140, 300, 200);
    }
    void pointerMovesOrResizesByHand() {
        QFETCH(bool, resizable);
        QFETCH(QPoint, press);
        QFETCH(QPoint, drag);
        QFETCH(QRect, expected);
        OkDialogLogic logic;
        CSFDialog* w = ShowSkinned(logic, false);
        w->VariableSize(resizable);
        w->SetMinimumSize(120, 80);
        QWidget* widget = W(w);
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        QCOMPARE(widget->geometry(), QRect(100, 100, 300, 200));
        QTest::mousePress(widget, Qt::LeftButton, {}, press);
        QTest::mouseMove(widget, press + drag);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, press + drag);
        QTRY_COMPARE(widget->geometry(), expected);
        SFDestroyControl(w);
    }

    // A second SetDlgTimer of the same id keeps the first timer running; Kill stops it once.
    void setDlgTimerTwiceKeepsTheFirst() {
        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        const int first = dlg->SetDlgTimer(7, 10);
        QVERIFY(first != 0);
        QCOMPARE(dlg->SetDlgTimer(7, 5000), first);
        QTRY_VERIFY(logic.timers.size() >= 2);  // 10 ms, not 5 s
        QCOMPARE(dlg->KillDlgTimer(7), 1);
        QCOMPARE(dlg->KillDlgTimer(7), 0);
        const size_t killed = logic.timers.size();
        dlg->SetDlgTimer(8, 30);  // a 7 still running would come first
        QTRY_VERIFY(logic.timers.size() > killed);
        QCOMPARE(std::count(logic.timers.begin(), logic.timers.end(), 7u), std::ptrdiff_t(killed));
        QCOMPARE(logic.timers[killed], 8u);
        SFDestroyControl(dlg);
    }
};

QTEST_MAIN(SFQTWindowTest)
#include "SFQTWindowTest.moc"
