// The skin: every image the windows name exists once with its size, frames compose without
// seams under their records, state sets share one size, and painting is reproducible.
#include <QGuiApplication>
#include <QTest>

#include <cstdlib>
#include <set>
#include <utility>

#include "tools/skingen/Frame.h"
#include "tools/skingen/Skin.h"

using namespace Qt::StringLiterals;

namespace {

// Every image file name the windows load (their skin records, pictures and content), comma-
// separated.
const char kNamedImages[] =
    "AboutPic.png,ComboBox_134.png,DlgBackgorund.png,ListCtrlnew.png,NoVideo.png,bgBlue.png,"
    "bgColorWhite.png,bgWhite.png,bg_calendar.png,bg_lineBg.png,bg_toolbar.png,"
    "body_DISPLAY REQUIREMENTS.png,body_DISPLAY WALL DIMENSIONS.png,body_POWER REQUIREMENTS.png,"
    "body_add_h.png,body_add_n.png,body_choose.png,body_choose_h.png,body_choose_n.png,"
    "body_dizuo-muxiang.png,body_jianshu.png,body_less_h.png,body_less_n.png,body_rotating_h.png,"
    "body_rotating_n.png,body_tuopan.png,box_choose_bg_h.png,box_choose_bg_n.png,"
    "box_choose_bg_nmage1.png,box_model_bg.png,btn_01_d.png,btn_01_h.png,btn_01_n.png,"
    "btn_01_p.png,btn_maximize_h.png,btn_maximize_n.png,btn_maximize_p.png,btn_ok_hov.png,"
    "btn_ok_nor.png,btn_ok_pre.png,close-disabled.png,close-hover.png,close-normal.png,"
    "close-pressed.png,closed_hov.png,closed_nor.png,closed_pre.png,common_FIT TO ROOM_h.png,"
    "common_FIT TO ROOM_n.png,common_Select Model_h.png,common_Select Model_n.png,"
    "common_check_ft.png,common_check_m.png,common_close_h.png,common_close_n.png,"
    "common_excel_h.png,common_excel_n.png,common_min_h.png,common_min_n.png,common_step1_h.png,"
    "common_step1_n.png,common_step2_h.png,common_step2_n.png,common_step3_h.png,"
    "common_step3_n.png,common_step4_h.png,common_step4_n.png,common_uncheck_ft.png,"
    "common_uncheck_m.png,doubt_hov.png,doubt_nor.png,doubt_pre.png,down_h.png,down_n.png,"
    "exchangea_nor.png,exchangezhong_nor.png,export_hov.png,export_nor.png,export_pre.png,"
    "image1.png,image2.png,kuang2_nor.png,logo.png,screenBg.png,spiner_down_d.png,"
    "spiner_down_h.png,spiner_down_n.png,spiner_down_p.png,spiner_up_d.png,spiner_up_h.png,"
    "spiner_up_n.png,spiner_up_p.png,tab_BluePrint_h.png,tab_BluePrint_n.png,"
    "tab_Dataoutput_h.png,tab_Dataoutput_n.png";

const skingen::SkinImage* Find(const QString& name) {
    for (const skingen::SkinImage& image : skingen::Catalogue()) {
        if (image.name == name) {
            return &image;
        }
    }
    return nullptr;
}

}  // namespace

class SkinTest : public QObject {
    Q_OBJECT

private:
    skingen::IconLibrary m_icons{QStringLiteral(TESSARO_SOURCE_DIR "/data/skin/icons")};

    QImage Paint(const char* name) {
        const skingen::SkinImage* image = Find(QString::fromUtf8(name));
        return image ? skingen::Render(*image, m_icons) : QImage();
    }

private Q_SLOTS:
    void catalogueHoldsEveryNamedImageOnce() {
        const QStringList list = QString::fromUtf8(kNamedImages).split(u',');
        const std::set<QString> named(list.begin(), list.end());
        std::multiset<QString> painted;
        for (const skingen::SkinImage& image : skingen::Catalogue()) {
            painted.insert(image.name);
        }
        QCOMPARE(named.size(), std::size_t(96));
        QCOMPARE(painted.size(), named.size());
        for (const QString& name : named) {
            QVERIFY2(painted.count(name) == 1, qPrintable(name));
        }
    }

    // Every image paints at its declared size, shows something, and needs no missing icon. Its
    // twin has twice the size and shows the same picture: averaged over 2 x 2 pixels it is the
    // plain image up to antialiasing and grain (a recipe that mixed device and logical pixels
    // would draw its picture at the wrong size or place).
    void everyImagePaintsAtItsSize() {
        for (const skingen::SkinImage& image : skingen::Catalogue()) {
            const QImage painted = skingen::Render(image, m_icons);
            QVERIFY2(painted.size() == image.size, qPrintable(image.name));
            bool visible = false;
            for (int y = 0; y < painted.height() && !visible; ++y) {
                const QRgb* line = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
                for (int x = 0; x < painted.width() && !visible; ++x) {
                    visible = qAlpha(line[x]) > 0;
                }
            }
            QVERIFY2(visible, qPrintable(image.name));

            const QImage twin = skingen::Render(image, m_icons, 2);
            QVERIFY2(twin.size() == image.size * 2 && twin.devicePixelRatio() == 2,
                     qPrintable(image.name));
            const QImage averaged =
                twin.scaled(image.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            qint64 difference = 0;
            for (int y = 0; y < painted.height(); ++y) {
                for (int x = 0; x < painted.width(); ++x) {
                    const QRgb a = painted.pixel(x, y), b = averaged.pixel(x, y);
                    difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                  std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
                }
            }
            const double mean = double(difference) / (4.0 * painted.width() * painted.height());
            QVERIFY2(mean < 12, qPrintable(image.name + u" differs by "_s + QString::number(mean)));
        }
        QCOMPARE(m_icons.Missing(), QStringList());
    }

    void stateSetsShareOneSize_data() {
        QTest::addColumn<QString>("names");
        QTest::newRow("message OK") << u"btn_01_n,btn_01_h,btn_01_p,btn_01_d"_s;
        QTest::newRow("message close") << u"close-normal,close-hover,close-pressed,close-disabled,"
                                          "closed_nor,closed_hov,closed_pre"_s;
        QTest::newRow("spinner arrows")
            << u"spiner_up_n,spiner_up_h,spiner_up_p,spiner_up_d,"
               "spiner_down_n,spiner_down_h,spiner_down_p,spiner_down_d"_s;
        QTest::newRow("step headers") << u"common_step1_h,common_step1_n,common_step2_h,"
                                         "common_step2_n,common_step3_h,common_step3_n,"
                                         "common_step4_h,common_step4_n"_s;
        QTest::newRow("switch halves")
            << u"common_check_m,common_uncheck_m,common_check_ft,common_uncheck_ft"_s;
        QTest::newRow("preview buttons") << u"body_add_n,body_add_h,body_less_n,body_less_h,"
                                            "body_rotating_n,body_rotating_h,body_choose_n,"
                                            "body_choose_h,body_choose"_s;
        QTest::newRow("choose and cancel")
            << u"box_choose_bg_n,box_choose_bg_h,"
               "box_choose_bg_nmage1,btn_ok_nor,btn_ok_hov,btn_ok_pre"_s;
        QTest::newRow("tabs")
            << u"tab_BluePrint_n,tab_BluePrint_h,tab_Dataoutput_n,tab_Dataoutput_h"_s;
        QTest::newRow("window buttons")
            << u"common_close_n,common_close_h,common_min_n,common_min_h"_s;
    }
    // Every image of a state set has the size of the first (names without ".png").
    void stateSetsShareOneSize() {
        QFETCH(QString, names);
        const QStringList list = names.split(u',');
        const skingen::SkinImage* first = Find(list.front() + u".png"_s);
        QVERIFY(first);
        for (const QString& name : list) {
            const skingen::SkinImage* image = Find(name + u".png"_s);
            QVERIFY2(image && image->size == first->size, qPrintable(name));
        }
    }

    // Sizes the windows' layouts fix: step header, switch half, fit to room, select model,
    // spinner field, model dialog close, model picture, choose button, default images.
    void sizesTheLayoutsFix() {
        const std::pair<const char*, QSize> cases[] = {{"common_step1_h.png", {180, 69}},
                                                       {"common_check_m.png", {65, 27}},
                                                       {"common_FIT TO ROOM_n.png", {119, 27}},
                                                       {"common_Select Model_n.png", {100, 27}},
                                                       {"kuang2_nor.png", {100, 18}},
                                                       {"common_close_n.png", {15, 15}},
                                                       {"box_model_bg.png", {199, 119}},
                                                       {"box_choose_bg_n.png", {139, 27}},
                                                       {"image1.png", {1920, 1080}},
                                                       {"image2.png", {1920, 1080}}};
        for (const auto& [name, size] : cases) {
            const skingen::SkinImage* image = Find(QString::fromUtf8(name));
            QVERIFY2(image && image->size == size, name);
        }
    }

    // The combo box strip: faces on rows 0, 18, 36, 54 (17 high) with a clear row between, and
    // every rectangle of the record inside the strip.
    void comboStripMatchesItsRecord() {
        const QImage strip = Paint("ComboBox_134.png");
        const QRect record[7] = {{0, 0, 134, 17},  {0, 18, 134, 17}, {0, 36, 134, 17},
                                 {0, 36, 134, 17}, {0, 54, 134, 17}, {0, 0, 134, 17},
                                 {0, 28, 134, 17}};
        for (const QRect& r : record) {
            QVERIFY(strip.rect().contains(r));
        }
        for (int face = 0; face < 4; ++face) {
            const int middle = 18 * face + 8;
            QVERIFY(qAlpha(strip.pixel(60, middle)) == 255);
            if (face < 3) {
                QCOMPARE(qAlpha(strip.pixel(60, 18 * face + 17)), 0);
            }
        }
    }

    // Frames composed with their records at several sizes, from the plain images and from their
    // twins (ratio 2, cut at twice the rectangles): the title band and the outline run through
    // without a seam where the pieces meet, pixel for pixel.
    void framesComposeWithoutSeams_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("record");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("ratio");
        for (int ratio : {1, 2}) {
            for (QSize size : {QSize(320, 150), QSize(97, 90), QSize(451, 201)}) {
                const QByteArray tag = QByteArray::number(size.width()) + "x" +
                                       QByteArray::number(size.height()) + " at " +
                                       QByteArray::number(ratio);
                QTest::newRow("message box " + tag)
                    << u"bg_toolbar.png"_s << 0 << size << 35 << ratio;
                QTest::newRow("export " + tag) << u"bg_toolbar.png"_s << 1 << size << 36 << ratio;
                QTest::newRow("main " + tag) << u"DlgBackgorund.png"_s << 2 << size << 8 << ratio;
            }
        }
    }
    void framesComposeWithoutSeams() {
        QFETCH(QString, frame);
        QFETCH(int, record);
        QFETCH(QSize, size);
        QFETCH(int, band);
        QFETCH(int, ratio);
        const skingen::FramePieces pieces[3] = {skingen::DialogPieces(), skingen::ExportPieces(),
                                                skingen::MainPieces()};
        const skingen::SkinImage* image = Find(frame);
        QVERIFY(image);
        QImage background(size, QImage::Format_ARGB32);
        background.fill(Qt::white);
        const QImage composed = skingen::ComposeFrame(skingen::Render(*image, m_icons, ratio),
                                                      background, pieces[record], size)
                                    .convertToFormat(QImage::Format_ARGB32);
        // In device pixels: the band, the outline and every piece are `ratio` times as large.
        QCOMPARE(composed.size(), size * ratio);
        const int W = size.width() * ratio, H = size.height() * ratio, r = ratio;
        // Every row of the top band is one colour from the left edge to the right edge.
        for (int y = 0; y < band * r; ++y) {
            for (int x = r; x < W - r; ++x) {
                QVERIFY2(composed.pixel(x, y) == composed.pixel(W / 2, y),
                         qPrintable(QStringLiteral("band %1,%2").arg(x).arg(y)));
            }
        }
        // The outline: left and right columns and the bottom rows are one colour all along.
        const QRgb edge = composed.pixel(0, H - 1);
        QVERIFY(edge != qRgb(255, 255, 255));
        for (int i = 0; i < r; ++i) {
            for (int y = band * r; y < H; ++y) {
                QVERIFY2(composed.pixel(i, y) == edge && composed.pixel(W - 1 - i, y) == edge,
                         qPrintable(QStringLiteral("sides %1,%2").arg(i).arg(y)));
            }
            for (int x = 0; x < W; ++x) {
                QVERIFY2(composed.pixel(x, H - 1 - i) == edge,
                         qPrintable(QStringLiteral("bottom %1,%2").arg(x).arg(i)));
            }
        }
        // Inside the outline the window's background shows.
        QCOMPARE(composed.pixel(W / 2, (band * r + H) / 2), qRgb(255, 255, 255));
        QCOMPARE(composed.pixel(r, H - 1 - r), qRgb(255, 255, 255));
        QCOMPARE(composed.pixel(W - 1 - r, H - 1 - r), qRgb(255, 255, 255));
    }

    void paintingIsReproducible() {
        for (const char* name : {"image1.png", "screenBg.png", "common_step3_h.png"}) {
            QCOMPARE(Paint(name), Paint(name));
        }
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    SkinTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SkinTest.moc"
