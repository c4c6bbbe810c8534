// Skinned windows under the offscreen platform: the click path into a dialog's message map and
// its OK path, frame composition from a known image, title-bar buttons, timers and closing.
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"
#include "toolkit/qt/SFQTSkinnedWindow.h"

#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace {

// A dialog logic with one button (id 1) and a map entry for that command.
class OkDialogLogic : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(OkDialogLogic)
public:
    std::vector<std::string> log;
    CSFButton* button = nullptr;
    int closeAnswer = 0;
    std::vector<uint32_t> timers;

    int Dlg_OnInit(int created) override {
        log.push_back("init:" + std::to_string(created));
        if (button == nullptr) {
            button = SFCreateButton(this);
            const tagRECT r{20, 40, 100, 70};
            button->Create(L"OK", SF_WS_VISIBLE, &r, GetUIWnd(), 1);
        }
        return 1;
    }
    void Dlg_OnOK() override { log.push_back("Dlg_OnOK"); }
    void Dlg_OnCancel() override { log.push_back("Dlg_OnCancel"); }
    int Dlg_Close() override {
        log.push_back("Dlg_Close");
        return closeAnswer;
    }
    void OnDlgTimer(uint32_t id) override { timers.push_back(id); }
    std::string Last() const { return log.empty() ? std::string() : log.back(); }
    void BTN_OnLButtonDown(uint32_t id, uint32_t, tagPOINT) override {
        log.push_back("down:" + std::to_string(id));
    }
    void BTN_OnLButtonUp(uint32_t id, uint32_t, tagPOINT) override {
        log.push_back("up:" + std::to_string(id));
    }
    void BTN_OnClicked(uint32_t id) override { log.push_back("clicked:" + std::to_string(id)); }

private:
    void OnCommandOk() { log.push_back("map:1"); }
};

SF_BEGIN_MESSAGE_MAP(OkDialogLogic)
SF_ON_COMMAND(1, OnCommandOk)
SF_END_MESSAGE_MAP()

QColor Pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

}  // namespace

class SFQTWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_skinDir;

    // A frame image whose pieces are solid colours, so every pixel of a composition tells
    // which piece drew it. A (0,0,10,35) red, B (30,0,15,35) green, C (76,0,10,35) blue, the
    // edges grey, title-button states yellow / cyan / magenta at (11,41) (41,41) (71,41).
    void WriteFrameImage() {
        QImage img(100, 85, QImage::Format_ARGB32);
        img.fill(QColor(128, 128, 128));
        auto fill = [&](int x, int y, int w, int h, QColor c) {
            for (int yy = y; yy < y + h; ++yy) {
                for (int xx = x; xx < x + w; ++xx) {
                    img.setPixelColor(xx, yy, c);
                }
            }
        };
        fill(0, 0, 10, 35, Qt::red);
        fill(30, 0, 15, 35, Qt::green);
        fill(76, 0, 10, 35, Qt::blue);
        fill(11, 41, 23, 14, Qt::yellow);
        fill(41, 41, 23, 14, Qt::cyan);
        fill(71, 41, 23, 14, Qt::magenta);
        QVERIFY(img.save(m_skinDir.filePath(QStringLiteral("frame.png"))));
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
        // Button 1 (the last three state rectangles) and its position.
        s.buttonStateRects[9] = L"11,41,23,14";
        s.buttonStateRects[10] = L"41,41,23,14";
        s.buttonStateRects[11] = L"71,41,23,14";
        s.buttonPositions[3] = closePosition;
        // Button 3 (minimise) sits left of it.
        s.buttonStateRects[3] = L"11,41,23,14";
        s.buttonStateRects[4] = L"41,41,23,14";
        s.buttonStateRects[5] = L"71,41,23,14";
        s.buttonPositions[1] = L"-90,2,23,14";
        s.titleColor = L"333333";
        s.titleArea = L"20,0,1000,27";
        return s;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_skinDir.isValid());
        WriteFrameImage();
        SFSetSkinPath((m_skinDir.path() + QStringLiteral("/")).toStdWString().c_str());
    }

    void clickOnIdOneRunsSinkThenMapThenOk() {
        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        QVERIFY(dlg != nullptr);
        dlg->MoveWindow(0, 0, 200, 120);
        QTimer::singleShot(0, [&] {
            auto* button = static_cast<QPushButton*>(logic.button->GetUIWnd());
            QTest::mouseClick(button, Qt::LeftButton);
        });
        const int result = dlg->DoModalDlg();
        QCOMPARE(result, 1);
        const std::vector<std::string> expected = {"init:0",    "down:1", "up:1",
                                                   "clicked:1", "map:1",  "Dlg_OnOK"};
        QCOMPARE(logic.log, expected);
        SFDestroyControl(dlg);
    }

    void cancelAndCloseReportTwo() {
        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        QTimer::singleShot(0, [&] { dlg->MFCCancel(); });
        QCOMPARE(dlg->DoModalDlg(), 2);
        QCOMPARE(logic.Last(), std::string("Dlg_OnCancel"));
        SFDestroyControl(dlg);
    }

    void frameComposesOneTileCutByRightCorner() {
        OkDialogLogic logic;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        const DialogStyle style = FrameStyle(L"");
        QCOMPARE(dlg->SetSkin(&style), 1);
        dlg->MoveWindow(0, 0, 30, 100);  // A.w + C.w + 10
        const QImage frame = dlg->ComposedFrame().toImage();
        QCOMPARE(frame.size(), QSize(30, 100));
        for (int x = 0; x < 30; ++x) {
            const QColor expected = x < 10   ? QColor(Qt::red)
                                    : x < 20 ? QColor(Qt::green)
                                             : QColor(Qt::blue);
            QCOMPARE(Pixel(frame, x, 5), expected);
        }
        // The window shows the same pixels.
        QWidget* w = static_cast<QWidget*>(dlg->GetUIWnd());
        const QImage shot = w->grab().toImage();
        QCOMPARE(Pixel(shot, 15, 10), QColor(Qt::green));
        QCOMPARE(Pixel(shot, 25, 10), QColor(Qt::blue));
        SFDestroyControl(dlg);
    }

    void emptyOrBrokenPiecesStillEnd() {
        QRect pieces[12];
        pieces[0] = QRect(0, 0, 10, 35);  // every repeated piece left empty
        QImage frame(QSize(86, 85), QImage::Format_ARGB32);
        frame.fill(Qt::gray);
        const QPixmap composed = SFComposeFrame(QPixmap::fromImage(frame), pieces, QPixmap(),
                                                QColor(Qt::white), QSize(500, 400));
        QCOMPARE(composed.size(), QSize(500, 400));
        QVERIFY(SFComposeFrame(QPixmap(), pieces, QPixmap(), QColor(), QSize(0, 10)).isNull());

        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        QCOMPARE(dlg->SetSkin(nullptr), 0);
        DialogStyle broken;
        broken.frameImage = L"missing.png";
        broken.pieces[1].rect = L"1,2";
        broken.cornerRadii = L"x";
        broken.titleColor = L"red";
        broken.backgroundColor = L"000000";
        QCOMPARE(dlg->SetSkin(&broken), 1);
        dlg->MoveWindow(0, 0, 120, 80);
        // No frame image: the plain light surface, not the record's black background colour.
        const QImage shot = static_cast<QWidget*>(dlg->GetUIWnd())->grab().toImage();
        QCOMPARE(Pixel(shot, 60, 40), SFQt::kSurface);
        SFDestroyControl(dlg);
    }

    void buttonAtNegativeXFollowsTheRightEdge() {
        OkDialogLogic logic;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        dlg->MoveWindow(0, 0, 400, 200);
        const DialogStyle style = FrameStyle(L"-60,4,23,14");
        dlg->SetSkin(&style);
        for (int width : {400, 640, 180, 333}) {
            dlg->MoveWindow(0, 0, width, 200);
            QCOMPARE(dlg->TitleButtonRect(SFTitleButton::Close).x(), width - 60);
        }
        SFDestroyControl(dlg);
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
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Hover);  // hover
        QTest::mousePress(dlg, Qt::LeftButton, {}, onClose);
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Pressed);  // pressed
        // The pressed picture is cut from the frame image (magenta state rectangle).
        QCOMPARE(Pixel(dlg->grab().toImage(), onClose.x(), onClose.y()), QColor(Qt::magenta));
        QTest::mouseMove(dlg, QPoint(150, 100));
        QTest::mouseRelease(dlg, Qt::LeftButton, {}, QPoint(150, 100));
        QCOMPARE(dlg->TitleButtonState(SFTitleButton::Close), SFTitleButtonState::Normal);  // released elsewhere: no action
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
        SFDestroyControl(dlg);
    }

    void closeButtonRespectsDlgClose() {
        OkDialogLogic logic;
        logic.closeAnswer = 1;
        auto* dlg = static_cast<CSFQTDialog*>(SFCreateDialog(&logic, nullptr, 0));
        dlg->MoveWindow(0, 0, 300, 200);
        const DialogStyle style = FrameStyle(L"-30,2,23,14");
        dlg->SetSkin(&style);
        dlg->ShowWindow(1);
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        const QPoint onClose = dlg->TitleButtonRect(SFTitleButton::Close).center();
        QTest::mousePress(dlg, Qt::LeftButton, {}, onClose);
        QTest::mouseRelease(dlg, Qt::LeftButton, {}, onClose);
        QTRY_COMPARE(logic.Last(), std::string("Dlg_Close"));
        QVERIFY(dlg->isVisible());
        logic.closeAnswer = 0;
        QTest::mousePress(dlg, Qt::LeftButton, {}, onClose);
        QTest::mouseRelease(dlg, Qt::LeftButton, {}, onClose);
        QTRY_VERIFY(!dlg->isVisible());
        SFDestroyControl(dlg);
    }

    void windowDestroyedInsideDlgClose() {
        // A logic that releases its window when asked to close and lets the close go on.
        struct ReleasingLogic : OkDialogLogic {
            CSFDialog* window = nullptr;
            int Dlg_Close() override {
                SFDestroyControl(window);
                window = nullptr;
                return 0;
            }
        };
        for (bool mainWindow : {false, true}) {
            ReleasingLogic logic;
            logic.window = mainWindow ? SFCreateMainWindow(&logic, nullptr)
                                      : SFCreateDialog(&logic, nullptr, 0);
            QPointer<QWidget> widget = static_cast<QWidget*>(logic.window->GetUIWnd());
            logic.window->MoveWindow(0, 0, 200, 120);
            logic.window->ShowWindow(1);
            QVERIFY(QTest::qWaitForWindowExposed(widget.data()));
            widget->close();
            QVERIFY(widget.isNull());
        }
    }

    void setDlgTimerTwiceKeepsTheFirst() {
        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        const int first = dlg->SetDlgTimer(7, 10);
        QVERIFY(first != 0);
        QCOMPARE(dlg->SetDlgTimer(7, 5000), first);
        QTRY_VERIFY(logic.timers.size() >= 2);
        for (uint32_t id : logic.timers) {
            QCOMPARE(id, 7u);
        }
        QCOMPARE(dlg->KillDlgTimer(7), 1);
        QCOMPARE(dlg->KillDlgTimer(7), 0);
        const size_t seen = logic.timers.size();
        QTest::qWait(50);
        QCOMPARE(logic.timers.size(), seen);
        SFDestroyControl(dlg);
    }

    void mainWindowRunsModallyAndCloses() {
        OkDialogLogic logic;
        auto* main = static_cast<CSFQTMainWindow*>(SFCreateMainWindow(&logic, nullptr));
        QVERIFY(main->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(main->Create(L"Tessaro", nullptr), 1);
        QCOMPARE(logic.log.front(), std::string("init:1"));
        wchar_t title[16];
        QCOMPARE(main->GetWindowTextW(title, 16), 7);
        QTimer::singleShot(0, [&] { main->MFCOK(); });
        QCOMPARE(main->DoModalDlg(), 1);
        QTimer::singleShot(0, [&] { main->close(); });
        QCOMPARE(main->DoModalDlg(), 2);
        SFDestroyControl(main);
    }

    void postedMessageReachesOnlyLiveWindows() {
        OkDialogLogic logic;
        CSFDialog* dlg = SFCreateDialog(&logic, nullptr, 0);
        void* target = dlg->GetUIWnd();
        QCOMPARE(SFPostUIMessage(target, 3, 4), 1);
        SFDestroyControl(dlg);
        QCOMPARE(SFPostUIMessage(target, 3, 4), 0);
        QCOMPARE(SFPostUIMessage(nullptr, 3, 4), 0);
        QCoreApplication::processEvents();
        SFDestroyControl(nullptr);
    }
};

QTEST_MAIN(SFQTWindowTest)
#include "SFQTWindowTest.moc"
