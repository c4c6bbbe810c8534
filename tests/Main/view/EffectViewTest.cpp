// The wall preview: the common contract of every control, the numbers it draws (labels, panel
// rectangle, button places), its one report per change, its own buttons driven by clicks, and
// the pixels of a grab, at a ratio of 1 and 2.
#include "../../toolkit/qt/SFQTTestSupport.h"
#include "Main/view/SFQTEffectView.h"
#include "toolkit/SFFactory.h"
#include "toolkit/SFToolkit.h"

#include <QFontMetrics>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QColor kTexture(180, 200, 220);  // the test's back wall texture, one colour
const QColor kScreen(200, 30, 30);     // the test's screen image

// Every notification, as text: the geometry reports apart from the others.
class Sink : public ISFEffectViewEvent {
public:
    void OnChangeGeometry(tagRECT r, int columns, int rows, int width, int height) override {
        reports << QString::asprintf("%d,%d,%d,%d %d %d %dx%d", int(r.left), int(r.top),
                                     int(r.right), int(r.bottom), columns, rows, width, height);
    }
    void OnChangeNum(int which, int n) override { log << QString::asprintf("num %d %d", which, n); }
    void OnAttention(int code) override { log << QString::asprintf("attention %d", code); }
    void OnChangeModel() override { log << u"model"_s; }
    QStringList reports;
    QStringList log;
};

// A preview 800 pixels wide at (10, 20) in a shown parent, with the default wall (6.0 × 2.0,
// lampstand 1.0, one panel 1.21 × 0.68): 393 pixels high, panels at (338, 127) - (461, 196).
struct Preview {
    Preview() {
        parent.resize(900, 600);
        view = static_cast<CSFQTEffectView*>(SFCreateEffectView(&sink));
        const tagRECT r{10, 20, 810, 320};
        view->Create(L"", L"", SF_WS_VISIBLE, &r, &parent, 1);
        view->SetBackground(L"wall.png");
        view->SetBgScreen(L"screen.png");
        view->SetBgStyle(kBgWhite);
        view->SetModel(L"TW-55", 0.68, 1.21);
        view->SetWallSize(2.0, 6.0);
        parent.show();
        QCoreApplication::processEvents();  // the queued layout pass
    }
    QWidget parent;
    Sink sink;
    CSFQTEffectView* view;
};

using Step = std::function<void(CSFQTEffectView*)>;
#define STEP(body) Step([](CSFQTEffectView* v) { body; })

}  // namespace

Q_DECLARE_METATYPE(Step)

class EffectViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_skin;

private Q_SLOTS:
    void initTestCase() {
        const auto save = [this](const QString& name, int w, int h, const QColor& colour) {
            QImage image(w, h, QImage::Format_RGB32);
            image.fill(colour);
            return image.save(m_skin.filePath(name));
        };
        QVERIFY(save(u"wall.png"_s, 8, 8, kTexture) && save(u"screen.png"_s, 32, 18, kScreen) &&
                save(u"btn.png"_s, 20, 24, Qt::gray));
        SFSetSkinPath((m_skin.path() + QLatin1Char('/')).toStdWString().c_str());
    }

    void keepsTheCommonContract() {
        ExpectCommonContract([](uint32_t style, const tagRECT* r, QWidget* parent) {
            return Made(SFCreateEffectView(nullptr), L"", L"", style, r, parent, 1);
        });
    }

    // Panels, label places and buttons (the rotate button skinned with a 20 × 24 image) by the
    // rules; the label texts and units are checked through the main window.
    void drawsTheDefaults() {
        Preview p;
        ImageButtonStyle skin;
        skin.normal = L"btn.png";
        QCOMPARE(p.view->SetBtnSkin(kButtonRotate, &skin) + p.view->SetBtnSkin(6, &skin), 2);
        QCoreApplication::processEvents();
        QCOMPARE(p.view->height(), 393);
        const tagRECT r = p.view->PanelRect();
        QCOMPARE(QRect(r.left, r.top, r.right, r.bottom), QRect(338, 127, 461, 196));
        QCOMPARE(p.view->LabelRect(kLabelModel), QRect(595, 95, 110, 20));
        QCOMPARE(p.view->LabelRect(kLabelWallWidth), QRect(375, 22, 50, 20));
        QCOMPARE(p.view->LabelRect(kLabelWallHeight), QRect(753, 151, 50, 20));
        const QRect buttons[6] = {{367, 62, 28, 28},  {405, 62, 28, 28}, {710, 128, 28, 28},
                                  {710, 166, 28, 28}, {70, 167, 20, 24}, {62, 201, 28, 28}};
        for (int i = 0; i < 6; ++i) {
            auto* button = static_cast<QWidget*>(p.view->Button(i)->GetUIWnd());
            QCOMPARE(button->geometry(), buttons[i]);
            p.view->SetOperable(0);
            QVERIFY(!button->isVisible());
            p.view->SetOperable(1);
            QVERIFY(button->isVisible());
        }
    }

    // Reports are "left,top,right,bottom columns rows widthxheight", in the parent's coordinates.
    void reportsOncePerChange_data() {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("reports");
        QTest::newRow("repaint") << STEP(v->repaint()) << QString();
        QTest::newRow("second column")
            << STEP(v->SetLayout(2, 0)) << u"286,147,533,216 2 1 800x393"_s;
        QTest::newRow("style 2, then 0")
            << STEP(v->SetBgStyle(kBgNone); QCoreApplication::processEvents();
                    v->SetBgStyle(kBgWhite))
            << u"348,147,471,216 1 1 800x393; 348,147,471,216 1 1 800x393"_s;
        QTest::newRow("same style") << STEP(v->SetBgStyle(kBgWhite)) << QString();
        QTest::newRow("moved in the parent")
            << STEP(v->MoveWindow(30, 40, 800, 393)) << u"368,167,491,236 1 1 800x393"_s;
        QTest::newRow("wall size: resize and shrink, one report")
            << STEP(v->SetWallSize(1.5, 6.0)) << u"348,165,471,165 1 0 800x342"_s;
    }
    void reportsOncePerChange() {
        QFETCH(Step, step);
        QFETCH(QString, reports);
        Preview p;
        QCOMPARE(p.sink.reports, QStringList{u"348,147,471,216 1 1 800x393"_s});
        p.sink.reports.clear();
        step(p.view);
        QCoreApplication::processEvents();
        QCOMPARE(p.sink.reports.join(u"; "), reports);
    }

    // Degenerate walls draw sane numbers: no "nan", "inf" or "-0.00", the panels on the wall.
    void staysSaneOnDegenerateWalls_data() {
        QTest::addColumn<Step>("step");
        QTest::newRow("no rows") << STEP(v->SetWallSize(1.5, 6.0));
        QTest::newRow("wall width 0") << STEP(v->SetWallSize(2.0, 0.0));
        QTest::newRow("no model") << STEP(v->SetModel(L"", 0.0, 0.0));
        QTest::newRow("lampstand over the wall") << STEP(v->ChangeLampstand(3.0));
        QTest::newRow("smaller than its margins") << STEP(v->MoveWindow(0, 0, 120, 60));
    }
    void staysSaneOnDegenerateWalls() {
        QFETCH(Step, step);
        Preview p;
        step(p.view);
        QCoreApplication::processEvents();
        const QRegularExpression length(u"^(?!-0\\.00)-?[0-9]+\\.[0-9]{2}m$"_s);
        for (int i = 1; i <= 6; ++i) {
            QVERIFY2(length.match(p.view->LabelText(i)).hasMatch(),
                     qPrintable(p.view->LabelText(i)));
        }
        const tagRECT r = p.view->PanelRect();
        QVERIFY(0 <= r.left && r.left <= r.right && r.right <= p.view->width());
        QVERIFY(0 <= r.top && r.top <= r.bottom && r.bottom <= p.view->height());
        QVERIFY(!p.view->grab().isNull());
    }

    // The edge cases of the preview's own buttons (their ordinary use and the refused rotation
    // are driven through the main window).
    void ownButtons_data() {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("log");
        const Step none = STEP((void)v);
        QTest::newRow("one more column, exactly full: refused")
            << STEP(v->SetModel(L"", 0.68, 1.25); v->SetWallSize(2.0, 5.0); v->SetLayout(3, 0)) << 0
            << u"attention 1"_s;
        QTest::newRow("one less column at 1") << none << 1 << QString();
        QTest::newRow("one more row: no room") << none << 2 << u"attention 1"_s;
        QTest::newRow("one less row at 1") << none << 3 << QString();
        QTest::newRow("change model") << none << 5 << u"model"_s;
    }
    void ownButtons() {
        QFETCH(Step, step);
        QFETCH(int, button);
        QFETCH(QString, log);
        Preview p;
        step(p.view);
        QCoreApplication::processEvents();
        p.sink.log.clear();
        QTest::mouseClick(static_cast<QWidget*>(p.view->Button(button)->GetUIWnd()),
                          Qt::LeftButton);
        QCOMPARE(p.sink.log.join(u", "), log);
    }

    void paintsTheRoomAndPanels_data() {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const Step none = STEP((void)v);
        QTest::newRow("ceiling") << none << QPoint(400, 20) << QColor(243, 243, 243);
        QTest::newRow("floor") << none << QPoint(400, 380) << QColor(222, 224, 227);
        QTest::newRow("left wall") << none << QPoint(20, 196) << QColor(232, 232, 232);
        QTest::newRow("right wall") << none << QPoint(790, 200) << QColor(232, 232, 232);
        QTest::newRow("back wall") << none << QPoint(150, 250) << kTexture;
        QTest::newRow("panel, style 0") << none << QPoint(400, 160) << QColor(Qt::white);
        QTest::newRow("panel, style 1") << STEP(v->SetBgStyle(1)) << QPoint(400, 160) << kScreen;
        QTest::newRow("panel, style 1, no such image")
            << STEP(v->SetBgScreen(L"missing.png"); v->SetBgStyle(1)) << QPoint(400, 160)
            << kTexture;
        QTest::newRow("panel, style 2") << STEP(v->SetBgStyle(2)) << QPoint(400, 160) << kTexture;
        QTest::newRow("outline") << none << QPoint(338, 160) << QColor(Qt::black);
        QTest::newRow("dimension line") << none << QPoint(150, 47) << QColor(176, 178, 185);
        QTest::newRow("span over the panels") << none << QPoint(400, 47) << QColor(Qt::black);
        // With 0 rows the panels are their outline, a line at y 145: no fill, no joints.
        const Step noRows = STEP(v->SetWallSize(1.5, 6.0));
        QTest::newRow("0 rows: the line") << noRows << QPoint(400, 145) << QColor(Qt::black);
        QTest::newRow("0 rows: no fill") << noRows << QPoint(400, 146) << kTexture;
        QTest::newRow("0 rows: none above") << noRows << QPoint(400, 144) << kTexture;
    }
    void paintsTheRoomAndPanels() {
        QFETCH(Step, step);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        Preview p;
        step(p.view);
        QCoreApplication::processEvents();
        // The screen image is decoded on a worker thread; its result arrives as an event.
        QTRY_VERIFY(!p.view->ScreenImagePending());
        const QImage image = p.view->grab().toImage();  // also under QT_SCALE_FACTOR=2
        QCOMPARE(image.pixelColor(at * image.devicePixelRatio()), colour);
    }

    // The screen image is decoded after the view's first paint: that paint shows white panels,
    // the image follows.
    void screenImageFollowsTheFirstPaint() {
        Preview p;
        p.view->SetBgScreen(L"screen.png");
        p.view->SetBgStyle(kBgScreen);
        const QPoint at(400, 160);
        QImage image = p.view->grab().toImage();
        QCOMPARE(image.pixelColor(at * image.devicePixelRatio()), QColor(Qt::white));
        QTRY_VERIFY(!p.view->ScreenImagePending());
        image = p.view->grab().toImage();
        QCOMPARE(image.pixelColor(at * image.devicePixelRatio()), kScreen);
    }

    // A wall far wider than high leaves spans shorter than a label beside it, and a long model
    // name needs more than its label: still no label covers another.
    void labelsNeverOverlap() {
        Preview p;
        p.view->SetModel(L"TW-55 with a model name far wider than its label", 0.68, 1.21);
        p.view->SetWallSize(2.0, 60.0);
        QCoreApplication::processEvents();
        for (int i = 0; i < kLabelCount; ++i) {
            for (int j = i + 1; j < kLabelCount; ++j) {
                QVERIFY2(!p.view->LabelRect(i).intersects(p.view->LabelRect(j)),
                         qPrintable(u"%1 and %2"_s.arg(i).arg(j)));
            }
        }
    }

    // At a pixel ratio of 2 a line is 2 device pixels on the rows its 1-pixel line covers, and
    // a label wider than 50 pixels grows around its centre.
    void staysCrispAndUnclipped() {
        Preview p;
        QImage image(1600, 786, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        p.view->render(&image);
        const QColor ceiling(243, 243, 243), line(176, 178, 185);
        for (int y = 93; y <= 96; ++y) {
            QCOMPARE(image.pixelColor(300, y), y == 94 || y == 95 ? line : ceiling);
        }

        p.view->SetWallSize(2.0, 120.0);
        p.view->MetersToFeet();
        QCoreApplication::processEvents();
        QCOMPARE(p.view->LabelText(kLabelLeftGap), u"194.87ft"_s);
        const QRect label = p.view->LabelRect(kLabelLeftGap);
        QFont font = p.view->font();
        font.setPixelSize(12);
        QVERIFY(label.width() > std::max(50, QFontMetrics(font).horizontalAdvance(u"194.87ft"_s)));
        const double centre = (95 + p.view->PanelRect().left) / 2.0;  // of the gap on the left
        QVERIFY(qAbs(label.x() + label.width() / 2.0 - centre) <= 1.0);
    }
};

QTEST_MAIN(EffectViewTest)
#include "EffectViewTest.moc"
