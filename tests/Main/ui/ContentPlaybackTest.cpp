// The sample video over the wall: the video window's segments and colours read back from its
// picture, and the real main frame's frame path over clips encoded here and decoded by FFmpeg.
#include <QTest>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "Main/MainFrame.h"
#include "Main/model/TempAppDir.h"
#include "Main/view/SFEffectView.h"
#include "framework/SFMessageLoop.h"
#include "framework/SFModules.h"
#include "framework/os/SFThread.h"
#include "shell/AppSettings.h"
#include "shell/lang/LanguageTable.h"
#include "toolkit/SFSkin.h"
#include "toolkit/SFToolkit.h"
#include "video/SFPlayerModule.h"
#include "video/SFVideoClipWriter.h"
#include "video/qt/SFVideoWindow.h"

using namespace SF_SOFT_BASE;

namespace {

QWidget* W(CSFControl* c) {
    return c ? static_cast<QWidget*>(c->GetUIWnd()) : nullptr;
}

struct Yuv {
    uint8_t y, u, v;
};

// What the converter makes of one colour (the window must show the same on a uniform area).
QRgb Expected(Yuv c, ESFColorMatrix matrix) {
    const uint8_t y[4] = {c.y, c.y, c.y, c.y}, u[1] = {c.u}, v[1] = {c.v};
    uint8_t out[16] = {};
    ConvertYuv420ToRgb32({y, u, v, 2, 1, 1, 2, 2}, {out, 8},
                         YuvCoefficients(matrix, ESFColorRange::Limited), ESFYuvKernel::Scalar);
    return qRgb(out[2], out[1], out[0]);
}

bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// A clip of frames of one colour (the player numbers the frames; the colour is what is checked).
bool WriteClip(const std::string& path, int w, int h, int frames, Yuv c,
               ESFColorMatrix matrix = ESFColorMatrix::Bt601) {
    SFClipSettings s;
    s.path = path;
    s.width = w;
    s.height = h;
    s.matrix = matrix;
    s.options = {{"preset", "ultrafast"}};
    CSFVideoClipWriter writer;
    const size_t cs = static_cast<size_t>((w + 1) / 2) * ((h + 1) / 2);
    std::vector<uint8_t> y(static_cast<size_t>(w) * h, c.y), u(cs, c.u), v(cs, c.v);
    if (!writer.Open(s)) {
        return false;
    }
    for (int i = 0; i < frames; ++i) {
        if (!writer.Write(y.data(), u.data(), v.data())) {
            return false;
        }
    }
    return writer.Finish();
}

}  // namespace

class ContentPlaybackTest : public QObject {
    Q_OBJECT

    std::shared_ptr<OrvexBase::CSFMessageLoop> m_loop;
    std::unique_ptr<TempAppDir> m_dir;
    std::shared_ptr<CMainFrameEventImp> m_frame;

    std::string Sample() const { return m_dir->file("Audio.mp4"); }
    void Open() {
        m_frame = std::make_shared<CMainFrameEventImp>();
        QCOMPARE(m_frame->Create(), 1);
        m_frame->ShowWindow(1);
        QVERIFY(QTest::qWaitForWindowExposed(W(m_frame->Window())));
    }
    QWidget* Video() const { return W(m_frame->VideoWindow()); }
    CMainFrameEventImp::PlaybackStats Stats() const { return m_frame->Playback(); }
    // The video window lies exactly on the panel rectangle the preview reports.
    void ExpectOverPanels() const {
        QCoreApplication::processEvents();
        const tagRECT p = m_frame->Preview()->PanelRect();  // in the preview's coordinates
        const QPoint at = W(m_frame->Preview())->pos();
        QCOMPARE(Video()->geometry(),
                 QRect(p.left, p.top, p.right - p.left, p.bottom - p.top).translated(at));
    }

private Q_SLOTS:
    void initTestCase() {
        m_loop = OrvexBase::CSFMessageLoop::CreateMessageLoop(0);  // as start-up makes ML_MAIN
        m_loop->SetThreadId(SF_SOFT_BASE::CSFThread::GetCurrentThreadID());
        OrvexBase::CSFMessageLoopManager::GetInstance()->AddMessageLoop(m_loop, OrvexBase::ML_MAIN);
    }
    void cleanupTestCase() {
        OrvexBase::CSFMessageLoopManager::GetInstance()->RemoveMessageLoop(OrvexBase::ML_MAIN);
        m_loop.reset();
    }
    void init() {
        m_dir = std::make_unique<TempAppDir>();
        for (const char* name : {"Lang_0.xml", "Lang_1.xml", "ProductParameter.csv"})
            std::filesystem::copy_file(std::string(TESSARO_APP_DIR) + "/" + name,
                                       m_dir->file(name));
        // The player module is looked up in the application directory, as in the build tree.
        std::filesystem::create_symlink(std::string(TESSARO_APP_DIR) + "/" + kSFPlayerModuleFile,
                                        m_dir->file(kSFPlayerModuleFile));
        g_appSettings.SetFilePath(m_dir->file("Config/config.xml"));
        g_appSettings.LoadSettings();
        SFSetSkinPath(QStringLiteral(TESSARO_APP_DIR "/Skin/").toStdWString().c_str());
    }
    void cleanup() {
        m_frame.reset();
        m_dir.reset();
    }

    // Each segment of a frame lands in its own panel; the joints between them are drawn black.
    void segmentsOnPanels_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("2 x 2") << 2 << 2;
        QTest::newRow("3 x 1") << 3 << 1;
    }
    void segmentsOnPanels() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        const int fw = 96, fh = 48, sw = fw / columns, sh = fh / rows;
        const Yuv colours[4] = {{81, 90, 240}, {145, 54, 34}, {41, 240, 110}, {170, 166, 16}};
        std::vector<uint8_t> frame(CSFFrameQueue::FrameBytes(fw, fh));
        uint8_t* u = frame.data() + fw * fh;
        uint8_t* v = u + fw * fh / 4;
        for (int y = 0; y < fh; ++y) {
            for (int x = 0; x < fw; ++x) {
                const Yuv c = colours[(y / sh) * columns + x / sw];
                frame[y * fw + x] = c.y;
                u[(y / 2) * (fw / 2) + x / 2] = c.u;
                v[(y / 2) * (fw / 2) + x / 2] = c.v;
            }
        }
        std::unique_ptr<CSFVideoWindow> window(SFCreateVideoWindow(0, nullptr, 1, 1));
        const tagRECT rect{0, 0, 302, 202};
        window->Create(L"", L"", SF_WS_VISIBLE, &rect, nullptr, 0);
        QVERIFY(QTest::qWaitForWindowExposed(W(window.get())));
        QCOMPARE(window->SetScreenSegmentation(columns, rows, 0), 1);
        QCOMPARE(window->RenderOffScreenSurface(0, frame.data(), fw, fh, 0, -1), 1);
        const QImage shown = W(window.get())->grab().toImage();
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QRgb want = Expected(colours[r * columns + c], ESFColorMatrix::Bt601);
                const QPoint centre((2 * c + 1) * 302 / (2 * columns),
                                    (2 * r + 1) * 202 / (2 * rows));
                QVERIFY2(Near(shown.pixel(centre), want, 2), qPrintable(QString::number(c)));
                if (c > 0) {  // the joint on the panels' line
                    QCOMPARE(shown.pixel(c * 302 / columns, centre.y()), qRgb(0, 0, 0));
                }
                if (r > 0) {
                    QCOMPARE(shown.pixel(centre.x(), r * 202 / rows), qRgb(0, 0, 0));
                }
            }
        }
    }

    // Without the player module the program runs on and says that no video can be shown. First
    // of the tests that play: once loaded, the module stays for the rest of the process.
    void playerModuleMissing() {
        QVERIFY(WriteClip(Sample(), 64, 48, 30, {120, 128, 128}));
        std::filesystem::remove(m_dir->file(kSFPlayerModuleFile));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY(Stats().unavailable);
        QCOMPARE(Stats().playing, 0);
        QVERIFY(!m_frame->IsClosing());
    }

    // The sample's own colour space reaches the screen: a BT.709 red shows as pure red.
    void bt709ColourOnScreen() {
        const Yuv red{63, 102, 240};
        QVERIFY(WriteClip(Sample(), 64, 48, 30, red, ESFColorMatrix::Bt709));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY(Stats().drawn > 0);
        QCoreApplication::processEvents();
        const QImage shown = Video()->grab().toImage();
        const QRgb centre = shown.pixel(shown.rect().center());
        QVERIFY2(Near(centre, qRgb(255, 0, 0), 8), qPrintable(QString::number(centre, 16)));
        QVERIFY(!Near(centre, Expected(red, ESFColorMatrix::Bt601), 8));
    }

    // The window follows the wall: counts, rotation, the page switch and back; other contents
    // hide it.
    void geometryFollowsWall() {
        QVERIFY(WriteClip(Sample(), 64, 48, 30, {120, 128, 128}));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QVERIFY(Video()->isVisible());
        ExpectOverPanels();
        const QRect before = Video()->geometry();
        m_frame->ApplyCount(1, 3);
        ExpectOverPanels();
        QVERIFY(Video()->geometry() != before);
        m_frame->ApplyOrientationChange();
        ExpectOverPanels();
        m_frame->ShowBluePrint(false);
        ExpectOverPanels();
        m_frame->ShowBluePrint(true);
        ExpectOverPanels();
        m_frame->ChooseContent(kContentImage2);
        QVERIFY(!Video()->isVisible());
        QTest::qWait(100);  // the frames copied before the choice are presented (not drawn)
        const int drawn = Stats().drawn;  // hidden, the sample plays on but nothing is copied
        QTest::qWait(300);
        QCOMPARE(Stats().drawn, drawn);
        QVERIFY(Stats().playing != 0);
    }

    // A short clip loops: frames keep coming after its end, always in the player's order.
    void loops() {
        QVERIFY(WriteClip(Sample(), 64, 48, 6, {120, 128, 128}));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY_WITH_TIMEOUT(Stats().rewinds >= 2 && Stats().drawn > 12, 10000);
        QVERIFY(Stats().inOrder);
    }

    // A held GUI thread: at most two frames wait, and once it runs the picture is back in step
    // with the player's clock (no backlog is drawn).
    void heldGuiThread() {
        QVERIFY(WriteClip(Sample(), 64, 48, 300, {120, 128, 128}));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY(Stats().drawn > 0);
        const int before = Stats().lastDrawn;
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        QVERIFY(Stats().waiting <= CSFFrameQueue::kMaxWaiting);
        QTest::qWait(150);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        QVERIFY(Stats().inOrder);
        QVERIFY2(Stats().lastDrawn >= before + ms * 30 / 1000 - 6,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(before).arg(Stats().lastDrawn).arg(ms)));
    }

    // The close button stops and closes the sample before the window closes; nothing is drawn
    // afterwards.
    void stopBeforeClose() {
        QVERIFY(WriteClip(Sample(), 64, 48, 300, {120, 128, 128}));
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY(Stats().drawn > 0);
        m_frame->StopAndClose();
        QCOMPARE(Stats().playing, 0);
        QVERIFY(!W(m_frame->Window())->isVisible());
        const int drawn = Stats().drawn;
        QTest::qWait(200);
        QCOMPARE(Stats().drawn, drawn);
    }

    // Bad media: the program starts, the window says no video can be shown, the images work.
    void badSample_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("missing") << 0;
        QTest::newRow("not a video") << 1;
        QTest::newRow("truncated") << 2;
        QTest::newRow("too large to show") << 3;
    }
    void badSample() {
        QFETCH(int, kind);
        if (kind == 1) {
            std::ofstream(Sample()) << "not a video at all\n";
        } else if (kind == 2) {
            QVERIFY(WriteClip(Sample(), 64, 48, 30, {120, 128, 128}));
            std::filesystem::resize_file(Sample(), 600);
        } else if (kind == 3) {
            QVERIFY(WriteClip(Sample(), 4160, 16, 2, {120, 128, 128}));
        }
        Open();
        m_frame->ChooseContent(kContentVideo);
        QTRY_VERIFY(Stats().unavailable);
        QCOMPARE(Stats().playing, 0);
        QCOMPARE(Stats().drawn, 0);
        m_frame->ChooseContent(kContentImage2);
        QVERIFY(!Video()->isVisible());
        QVERIFY(!m_frame->IsClosing());
    }
};

QTEST_MAIN(ContentPlaybackTest)
#include "ContentPlaybackTest.moc"
