// The skin: every image the windows name exists once with its size, frames compose without
// seams under their records, state sets share one size, and painting is reproducible.
#include <QGuiApplication>
#include <QTest>

#include <set>

#include "tools/skingen/Frame.h"
#include "tools/skingen/Skin.h"

namespace {

// Every image file name the windows load (their skin records, pictures and content).
const char* const kNamedImages[] = {
    "AboutPic.png",
    "ComboBox_134.png",
    "DlgBackgorund.png",
    "ListCtrlnew.png",
    "NoVideo.png",
    "bgBlue.png",
    "bgColorWhite.png",
    "bgWhite.png",
    "bg_calendar.png",
    "bg_lineBg.png",
    "bg_toolbar.png",
    "body_DISPLAY REQUIREMENTS.png",
    "body_DISPLAY WALL DIMENSIONS.png",
    "body_POWER REQUIREMENTS.png",
    "body_add_h.png",
    "body_add_n.png",
    "body_choose.png",
    "body_choose_h.png",
    "body_choose_n.png",
    "body_dizuo-muxiang.png",
    "body_jianshu.png",
    "body_less_h.png",
    "body_less_n.png",
    "body_rotating_h.png",
    "body_rotating_n.png",
    "body_tuopan.png",
    "box_choose_bg_h.png",
    "box_choose_bg_n.png",
    "box_choose_bg_nmage1.png",
    "box_model_bg.png",
    "btn_01_d.png",
    "btn_01_h.png",
    "btn_01_n.png",
    "btn_01_p.png",
    "btn_maximize_h.png",
    "btn_maximize_n.png",
    "btn_maximize_p.png",
    "btn_ok_hov.png",
    "btn_ok_nor.png",
    "btn_ok_pre.png",
    "close-disabled.png",
    "close-hover.png",
    "close-normal.png",
    "close-pressed.png",
    "closed_hov.png",
    "closed_nor.png",
    "closed_pre.png",
    "common_FIT TO ROOM_h.png",
    "common_FIT TO ROOM_n.png",
    "common_Select Model_h.png",
    "common_Select Model_n.png",
    "common_check_ft.png",
    "common_check_m.png",
    "common_close_h.png",
    "common_close_n.png",
    "common_excel_h.png",
    "common_excel_n.png",
    "common_min_h.png",
    "common_min_n.png",
    "common_step1_h.png",
    "common_step1_n.png",
    "common_step2_h.png",
    "common_step2_n.png",
    "common_step3_h.png",
    "common_step3_n.png",
    "common_step4_h.png",
    "common_step4_n.png",
    "common_uncheck_ft.png",
    "common_uncheck_m.png",
    "doubt_hov.png",
    "doubt_nor.png",
    "doubt_pre.png",
    "down_h.png",
    "down_n.png",
    "exchangea_nor.png",
    "exchangezhong_nor.png",
    "export_hov.png",
    "export_nor.png",
    "export_pre.png",
    "image1.png",
    "image2.png",
    "kuang2_nor.png",
    "logo.png",
    "screenBg.png",
    "spiner_down_d.png",
    "spiner_down_h.png",
    "spiner_down_n.png",
    "spiner_down_p.png",
    "spiner_up_d.png",
    "spiner_up_h.png",
    "spiner_up_n.png",
    "spiner_up_p.png",
    "tab_BluePrint_h.png",
    "tab_BluePrint_n.png",
    "tab_Dataoutput_h.png",
    "tab_Dataoutput_n.png",
};

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
        std::set<QString> named;
        for (const char* name : kNamedImages) {
            named.insert(QString::fromUtf8(name));
        }
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

    // Every image paints at its declared size, shows something, and needs no missing icon.
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
        }
        QCOMPARE(m_icons.Missing(), QStringList());
    }

    void stateSetsShareOneSize_data() {
        QTest::addColumn<QStringList>("names");
        auto row = [](const char* tag, std::initializer_list<const char*> names) {
            QStringList list;
            for (const char* n : names) {
                list << QString::fromUtf8(n);
            }
            QTest::newRow(tag) << list;
        };
        row("message OK", {"btn_01_n.png", "btn_01_h.png", "btn_01_p.png", "btn_01_d.png"});
        row("message close",
            {"close-normal.png", "close-hover.png", "close-pressed.png", "close-disabled.png",
             "closed_nor.png", "closed_hov.png", "closed_pre.png"});
        row("spinner arrows",
            {"spiner_up_n.png", "spiner_up_h.png", "spiner_up_p.png", "spiner_up_d.png",
             "spiner_down_n.png", "spiner_down_h.png", "spiner_down_p.png", "spiner_down_d.png"});
        row("step headers", {"common_step1_h.png", "common_step1_n.png", "common_step2_h.png",
                             "common_step2_n.png", "common_step3_h.png", "common_step3_n.png",
                             "common_step4_h.png", "common_step4_n.png"});
        row("switch halves", {"common_check_m.png", "common_uncheck_m.png", "common_check_ft.png",
                              "common_uncheck_ft.png"});
        row("preview buttons", {"body_add_n.png", "body_add_h.png", "body_less_n.png",
                                "body_less_h.png", "body_rotating_n.png", "body_rotating_h.png",
                                "body_choose_n.png", "body_choose_h.png", "body_choose.png"});
        row("choose and cancel",
            {"box_choose_bg_n.png", "box_choose_bg_h.png", "box_choose_bg_nmage1.png",
             "btn_ok_nor.png", "btn_ok_hov.png", "btn_ok_pre.png"});
        row("tabs", {"tab_BluePrint_n.png", "tab_BluePrint_h.png", "tab_Dataoutput_n.png",
                     "tab_Dataoutput_h.png"});
        row("window buttons",
            {"common_close_n.png", "common_close_h.png", "common_min_n.png", "common_min_h.png"});
    }
    void stateSetsShareOneSize() {
        QFETCH(QStringList, names);
        const skingen::SkinImage* first = Find(names.front());
        QVERIFY(first);
        for (const QString& name : names) {
            const skingen::SkinImage* image = Find(name);
            QVERIFY2(image && image->size == first->size, qPrintable(name));
        }
    }

    // Sizes the windows' layouts fix.
    void sizesTheLayoutsFix_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("step header") << QStringLiteral("common_step1_h.png") << QSize(180, 69);
        QTest::newRow("switch half") << QStringLiteral("common_check_m.png") << QSize(65, 27);
        QTest::newRow("fit to room")
            << QStringLiteral("common_FIT TO ROOM_n.png") << QSize(119, 27);
        QTest::newRow("select model")
            << QStringLiteral("common_Select Model_n.png") << QSize(100, 27);
        QTest::newRow("spinner field") << QStringLiteral("kuang2_nor.png") << QSize(100, 18);
        QTest::newRow("model dialog close")
            << QStringLiteral("common_close_n.png") << QSize(15, 15);
        QTest::newRow("model picture") << QStringLiteral("box_model_bg.png") << QSize(199, 119);
        QTest::newRow("choose button") << QStringLiteral("box_choose_bg_n.png") << QSize(139, 27);
        QTest::newRow("default image 1") << QStringLiteral("image1.png") << QSize(1920, 1080);
        QTest::newRow("default image 2") << QStringLiteral("image2.png") << QSize(1920, 1080);
    }
    void sizesTheLayoutsFix() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const skingen::SkinImage* image = Find(name);
        QVERIFY(image);
        QCOMPARE(image->size, size);
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

    // Frames composed with their records at several sizes: the title band and the outline run
    // through without a seam where the pieces meet.
    void framesComposeWithoutSeams_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("record");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("band");
        for (QSize size : {QSize(320, 150), QSize(97, 90), QSize(451, 201)}) {
            const QByteArray tag =
                QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
            QTest::newRow("message box " + tag)
                << QStringLiteral("bg_toolbar.png") << 0 << size << 35;
            QTest::newRow("export " + tag) << QStringLiteral("bg_toolbar.png") << 1 << size << 36;
            QTest::newRow("main " + tag) << QStringLiteral("DlgBackgorund.png") << 2 << size << 8;
        }
    }
    void framesComposeWithoutSeams() {
        QFETCH(QString, frame);
        QFETCH(int, record);
        QFETCH(QSize, size);
        QFETCH(int, band);
        const skingen::FramePieces pieces[3] = {skingen::DialogPieces(), skingen::ExportPieces(),
                                                skingen::MainPieces()};
        const skingen::SkinImage* image = Find(frame);
        QVERIFY(image);
        QImage background(size, QImage::Format_ARGB32);
        background.fill(Qt::white);
        const QImage composed = skingen::ComposeFrame(skingen::Render(*image, m_icons), background,
                                                      pieces[record], size)
                                    .convertToFormat(QImage::Format_ARGB32);
        const int W = size.width(), H = size.height();
        // Every row of the top band is one colour from the left edge to the right edge.
        for (int y = 0; y < band; ++y) {
            for (int x = 1; x < W - 1; ++x) {
                QVERIFY2(composed.pixel(x, y) == composed.pixel(W / 2, y),
                         qPrintable(QStringLiteral("band %1,%2").arg(x).arg(y)));
            }
        }
        // The outline: left and right columns and the bottom row are one colour all along.
        const QRgb edge = composed.pixel(0, H - 1);
        QVERIFY(edge != qRgb(255, 255, 255));
        for (int y = band; y < H; ++y) {
            QVERIFY2(composed.pixel(0, y) == edge, qPrintable(QStringLiteral("left %1").arg(y)));
            QVERIFY2(composed.pixel(W - 1, y) == edge,
                     qPrintable(QStringLiteral("right %1").arg(y)));
        }
        for (int x = 0; x < W; ++x) {
            QVERIFY2(composed.pixel(x, H - 1) == edge,
                     qPrintable(QStringLiteral("bottom %1").arg(x)));
        }
        // Inside the outline the window's background shows.
        QCOMPARE(composed.pixel(W / 2, (band + H) / 2), qRgb(255, 255, 255));
        QCOMPARE(composed.pixel(1, H - 2), qRgb(255, 255, 255));
        QCOMPARE(composed.pixel(W - 2, H - 2), qRgb(255, 255, 255));
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
