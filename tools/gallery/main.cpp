// gallery: a look at the skin. By default it opens a skinned dialog built through the toolkit
// from every control kind the program uses, in their states, with English and Chinese texts.
// `--sheet` shows instead the windows painted from the skin images with the composition rules
// and the panels' layouts, and every image with its name. `--save <file.png>` renders either to
// a file without a display (under QT_QPA_PLATFORM=offscreen); `--skin <dir>` reads another
// Skin/ folder.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QScrollArea>

#include <cmath>
#include <cstdio>
#include <map>

#include "tools/skingen/Frame.h"
#ifdef TESSARO_GALLERY_CONTROLS
#include "toolkit/SFToolkit.h"
#include "tools/gallery/ControlGallery.h"
#endif
#include "tools/skingen/Skin.h"

namespace {

using skingen::ComposeFrame;
using skingen::WithShadow;

class Skin {
public:
    explicit Skin(QString dir) : m_dir(std::move(dir)) {}
    const QImage& operator[](const QString& name) const {
        auto found = m_cache.find(name);
        if (found == m_cache.end()) {
            QImage image(m_dir + QStringLiteral("/") + name);
            if (image.isNull()) {
                m_missing.append(name);
            }
            found = m_cache.emplace(name, image).first;
        }
        return found->second;
    }
    QStringList Missing() const { return m_missing; }

private:
    QString m_dir;
    mutable std::map<QString, QImage> m_cache;
    mutable QStringList m_missing;
};

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QFont Font(int px, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void Text(QPainter& p, const QRect& r, const QString& text, const QColor& colour, int px,
          int flags = Qt::AlignVCenter | Qt::AlignLeft, bool bold = false) {
    p.setFont(Font(px, bold));
    p.setPen(colour);
    p.drawText(r, flags, text);
}

// A button face with its caption centred, as the skinned button draws it.
void Button(QPainter& p, const QImage& face, QPoint at, const QString& caption,
            const QColor& colour, int px = 12) {
    p.drawImage(at, face);
    Text(p, QRect(at, face.size()), caption, colour, px, Qt::AlignCenter);
}

void Spinner(QPainter& p, const Skin& skin, QRect r, const QString& value, bool hoverUp = false) {
    p.drawImage(r, skin[QStringLiteral("kuang2_nor.png")]);
    const int ax = r.left() + r.width() - 16;
    p.drawImage(
        QPoint(ax, r.top()),
        skin[hoverUp ? QStringLiteral("spiner_up_h.png") : QStringLiteral("spiner_up_n.png")]);
    p.drawImage(QPoint(ax, r.top() + 9), skin[QStringLiteral("spiner_down_n.png")]);
    Text(p, r.adjusted(6, 0, -18, 0), value, QColor(34, 34, 34), 12);
}

struct Lang {
    bool chinese;
    QString title, steps[4], meters, feet, width, height, lampstand, fit, blueprint, data,
        attention, orientationMsg, ok, exportTitle, path, fileName, browse;
};

const Lang kEnglish{
    false,
    S("Tessaro"),
    {S("Define Wall Size"), S("Choose Model"), S("Display Layout"), S("Content Configuration")},
    S("Meters"),
    S("Feet"),
    S("Width(m)"),
    S("Height(m)"),
    S("Lampstand(m)"),
    S("  Fit To Room"),
    S("BluePrint"),
    S("Data output"),
    S("Attention"),
    S("Can not Change Orientation."),
    S("OK"),
    S("Export"),
    S("Path"),
    S("FileName"),
    S("Brown")};
const Lang kChinese{true,
                    S("Tessaro 拼接墙设计"),
                    {S("定义墙面尺寸"), S("选择型号"), S("显示布局"), S("内容配置")},
                    S("米"),
                    S("英尺"),
                    S("宽(米)"),
                    S("高(米)"),
                    S("底座(米)"),
                    S("  适应房间"),
                    S("设计图"),
                    S("数据输出"),
                    S("注意"),
                    S("无法改变方向。"),
                    S("确定"),
                    S("导出"),
                    S("路径"),
                    S("文件名"),
                    S("浏览")};

// The wall preview: room, back wall, panels showing the content, joints, dimensions, buttons.
void WallPreview(QPainter& p, const Skin& skin, QRect area, const Lang& lang) {
    p.save();
    p.translate(area.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), area.size()));
    const int w = area.width(), h = area.height(), m = 95;
    auto quad = [&p](std::initializer_list<QPointF> pts, QColor c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(QPolygonF(QList<QPointF>(pts)));
    };
    quad({{0, 0}, {double(m), double(m)}, {double(w - m), double(m)}, {double(w), 0}},
         QColor(243, 243, 243));
    quad({{0, double(h)},
          {double(w), double(h)},
          {double(w - m), double(h - m)},
          {double(m), double(h - m)}},
         QColor(222, 224, 227));
    quad({{0, 0}, {0, double(h)}, {double(m), double(h - m)}, {double(m), double(m)}},
         QColor(232, 232, 232));
    quad({{double(w - m), double(m)},
          {double(w - m), double(h - m)},
          {double(w), double(h)},
          {double(w), 0}},
         QColor(232, 232, 232));
    p.fillRect(QRect(m, m, w - 2 * m - 1, h - 2 * m - 1),
               QBrush(QPixmap::fromImage(skin[QStringLiteral("screenBg.png")])));
    const double wallW = 6.0, wallH = 2.0, lamp = 0.6, cols = 4, rows = 2;
    const double colW = 1.21 * cols, rowH = 0.68 * rows;
    const double Wpx = w - 2 * m, Hpx = h - 2 * m;
    const double aw = colW / wallW * Wpx, ah = rowH / wallH * Hpx, lp = lamp / wallH * Hpx;
    const double x0 = (Wpx - aw) / 2, g = Hpx - ah - lp;
    const QRect panel(QPoint(int(m + x0), int(m + g)), QPoint(int(m + x0 + aw), int(m + g + ah)));
    p.drawImage(panel, skin[QStringLiteral("image1.png")]);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(panel);
    for (int i = 1; i < cols; ++i) {
        const int x = int(panel.left() + i * aw / cols);
        p.drawLine(x, panel.top(), x, panel.top() + int(ah));
    }
    for (int j = 1; j < rows; ++j) {
        const int y = int(panel.top() + j * ah / rows);
        p.drawLine(panel.left(), y, panel.left() + int(aw), y);
    }
    // Dimension lines and labels.
    const QColor dim(176, 178, 185);
    p.setPen(dim);
    const int ty = m / 2;
    p.drawLine(m, ty, w - m, ty);
    const double tx[4] = {double(m), m + x0, m + x0 + aw, double(w - m)};
    for (double x : tx) {
        p.setPen(dim);
        p.drawLine(QPointF(x, ty - 5), QPointF(x, ty + 5));
        p.setPen(QPen(dim, 1, Qt::DotLine));
        p.drawLine(QPointF(x, ty), QPointF(x, m));
    }
    p.setPen(Qt::black);
    p.drawLine(QPointF(m + x0, ty), QPointF(m + x0 + aw, ty));
    const int rx = w - m / 2 - 5;
    const double ry[4] = {double(m), m + g, m + g + ah, double(h - m)};
    for (double y : ry) {
        p.setPen(dim);
        p.drawLine(QPointF(w - m / 2 - 10, y), QPointF(w - m / 2, y));
        p.setPen(QPen(dim, 1, Qt::DotLine));
        p.drawLine(QPointF(rx, y), QPointF(w - m, y));
    }
    p.setPen(dim);
    p.drawLine(QPointF(rx, m), QPointF(rx, h - m));
    p.setPen(Qt::black);
    p.drawLine(QPointF(rx, m + g), QPointF(rx, m + g + ah));
    const QString unit = lang.chinese ? S("m") : S("m");
    auto label = [&](QRectF r, double v, QColor back) {
        p.fillRect(r, back);
        Text(p, r.toRect(), QString::asprintf("%0.2f", v) + unit, Qt::white, 12, Qt::AlignCenter);
    };
    const QColor darkLabel(37, 37, 37), lightLabel(207, 207, 207);
    const double side = (wallW - colW) / 2;
    label(QRectF(int((m + m + x0) / 2 - 25), int(m / 2.0 - 25), 50, 20), side, lightLabel);
    label(QRectF(int(m + x0 + aw / 2 - 25), int(m / 2.0 - 25), 50, 20), colW, darkLabel);
    label(QRectF(int((m + x0 + aw + w - m) / 2 - 25), int(m / 2.0 - 25), 50, 20), side, lightLabel);
    label(QRectF(w - m / 2, int(m + g / 2 - 10), 50, 20), wallH - rowH - lamp, lightLabel);
    label(QRectF(w - m / 2, int(m + g + ah / 2 - 10), 50, 20), rowH, darkLabel);
    label(QRectF(w - m / 2, int(m + g + ah + lp / 2 - 10), 50, 20), lamp, lightLabel);
    p.fillRect(QRect(w - m - 110, m, 110, 20), darkLabel);
    Text(p, QRect(w - m - 110, m, 110, 20), S("QXM480VQX-RT"), Qt::white, 12, Qt::AlignCenter);
    // The six buttons around the drawing (one shown hovered).
    const QImage& add = skin[QStringLiteral("body_add_n.png")];
    const int bw = add.width(), bh = add.height();
    p.drawImage(QPoint(w / 2 - 5 - bw, m - 5 - bh), skin[QStringLiteral("body_add_h.png")]);
    p.drawImage(QPoint(w / 2 + 5, m - 5 - bh), skin[QStringLiteral("body_less_n.png")]);
    p.drawImage(QPoint(w - m + 5, int(m + g + ah / 2 - 5) - bh), add);
    p.drawImage(QPoint(w - m + 5, int(m + g + ah / 2 + 5)),
                skin[QStringLiteral("body_less_n.png")]);
    p.drawImage(QPoint(m - 5 - bw, h / 2 - 5 - bh), skin[QStringLiteral("body_rotating_n.png")]);
    p.drawImage(QPoint(m - 5 - bw, h / 2 + 5), skin[QStringLiteral("body_choose_n.png")]);
    p.restore();
}

// The main window at 1020 x 720: tool bar, parameter panel with step 1 open, wall preview.
QImage MainWindow(const Skin& skin, const Lang& lang) {
    const QSize size(1000, 700);
    QImage client =
        ComposeFrame(skin[QStringLiteral("DlgBackgorund.png")],
                     skin[QStringLiteral("bg_calendar.png")], skingen::MainPieces(), size);
    QPainter p(&client);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Tool bar (10, 10) - (990, 46) in client coordinates.
    const int tb = 10, tbh = 36;
    p.drawImage(QRect(14, tb + 2, 32, 32), skin[QStringLiteral("logo.png")]);
    Text(p, QRect(54, tb, 200, tbh), lang.title, QColor(0x34, 0x34, 0x34), 14, Qt::AlignVCenter,
         true);
    auto tab = [&](int x, const QString& img, const QString& caption, bool on) {
        p.drawImage(QPoint(x, tb), skin[img]);
        Text(p, QRect(x + 32, tb, 88, tbh), caption,
             on ? QColor(63, 111, 230) : QColor(102, 102, 102), 13, Qt::AlignVCenter, on);
    };
    tab(260, QStringLiteral("tab_BluePrint_h.png"), lang.blueprint, true);
    tab(390, QStringLiteral("tab_Dataoutput_n.png"), lang.data, false);
    p.drawImage(QPoint(size.width() - 31, tb + 10), skin[QStringLiteral("common_close_n.png")]);
    p.drawImage(QPoint(size.width() - 56, tb + 10), skin[QStringLiteral("common_min_n.png")]);
    p.drawImage(QPoint(size.width() - 82, tb + 10), skin[QStringLiteral("down_n.png")]);
    p.fillRect(QRect(10, tb + tbh, size.width() - 20, 1), QColor(228, 232, 239));
    // Parameter panel (10, 46) - (990, 164).
    p.save();
    p.translate(10, tb + tbh);
    const int pw = size.width() - 20, ph = 118;
    p.drawImage(QRect(0, 70, pw, ph - 70), skin[QStringLiteral("bgWhite.png")]);
    for (int k = 0; k < 4; ++k) {
        const int x = 70 + k * 240;
        const bool open = k == 0;
        p.drawImage(QPoint(x, 0),
                    skin[QString::asprintf("common_step%d_%s.png", k + 1, open ? "h" : "n")]);
        Text(p, QRect(x + 46, 0, 134, 69), lang.steps[k],
             open ? QColor(34, 34, 34) : QColor(136, 136, 136), 12, Qt::AlignVCenter, open);
    }
    const int centred27 = 70 + (ph - 70 - 27) / 2, centred18 = 70 + (ph - 70 - 18) / 2;
    Button(p, skin[QStringLiteral("common_check_m.png")], QPoint(70, centred27), lang.meters,
           QColor(63, 111, 230));
    Button(p, skin[QStringLiteral("common_uncheck_ft.png")], QPoint(135, centred27), lang.feet,
           QColor(102, 102, 102));
    const QColor labelColour(102, 102, 102);
    const QString labels[3] = {lang.width, lang.height, lang.lampstand};
    const QString values[3] = {S("6.00"), S("2.00"), S("0.60")};
    int x = 210;
    for (int i = 0; i < 3; ++i) {
        Text(p, QRect(x, 87, 70, 22), labels[i], labelColour, 12);
        x += 80;
        Spinner(p, skin, QRect(x, centred18, 100, 18), values[i], i == 0);
        x += 110;
    }
    Button(p, skin[QStringLiteral("common_FIT TO ROOM_n.png")], QPoint(pw - 149, centred27),
           lang.fit, Qt::white);
    p.restore();
    // Wall page: the preview inside the scroll area (10, 164) - (990, 690).
    const int top = tb + tbh + 118;
    const int pwidth = size.width() - 20 - 121;
    const int pheight = int((pwidth - 190) * 2.0 / 6.0 + 190);
    WallPreview(p, skin, QRect(70, top + 8, pwidth, pheight), lang);
    return WithShadow(client);
}

QImage Dialog(const Skin& skin, const skingen::FramePieces& pieces, QSize size,
              const QString& title, int titleTop) {
    QImage client = ComposeFrame(skin[QStringLiteral("bg_toolbar.png")],
                                 skin[QStringLiteral("bg_calendar.png")], pieces, size);
    QPainter p(&client);
    Text(p, QRect(20, titleTop, 200, 18), title, Qt::white, 13, Qt::AlignVCenter, true);
    return client;
}

QImage MessageBox(const Skin& skin, const Lang& lang, bool hoverOk) {
    const QSize size(320, 35 + 10 + 40 + 10 + 28 + 20);
    QImage client = Dialog(skin, skingen::DialogPieces(), size, lang.attention, 9);
    QPainter p(&client);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QPoint(size.width() - 32, 6), skin[QStringLiteral("close-normal.png")]);
    Text(p, QRect(20, 45, 280, 40), lang.orientationMsg, QColor(51, 51, 51), 13,
         Qt::AlignCenter | Qt::TextWordWrap);
    const QImage& ok =
        skin[hoverOk ? QStringLiteral("btn_01_h.png") : QStringLiteral("btn_01_n.png")];
    Button(p, ok, QPoint((size.width() - ok.width()) / 2, 95), lang.ok, Qt::black);
    return WithShadow(client);
}

QImage ExportDialog(const Skin& skin, const Lang& lang) {
    const QSize size(450, 200);
    QImage client = Dialog(skin, skingen::ExportPieces(), size, lang.exportTitle, 9);
    QPainter p(&client);
    p.drawImage(QPoint(size.width() - 32, 6), skin[QStringLiteral("closed_hov.png")]);
    auto field = [&](int y, const QString& label, const QString& value) {
        Text(p, QRect(24, y, 80, 28), label, QColor(34, 34, 34), 14);
        QPainterPath box;
        box.addRoundedRect(QRectF(110.5, y + 0.5, 220, 27), 4, 4);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillPath(box, QColor(245, 247, 251));
        p.setPen(QColor(206, 213, 226));
        p.drawPath(box);
        Text(p, QRect(118, y, 210, 28), value, QColor(102, 102, 102), 12);
    };
    field(60, lang.path, S("/home/user/Tessaro"));
    field(104, lang.fileName, S("DataConfig"));
    Button(p, skin[QStringLiteral("btn_01_n.png")], QPoint(344, 60), lang.browse, Qt::black);
    Button(p, skin[QStringLiteral("btn_01_p.png")], QPoint(185, 152), lang.ok, Qt::black);
    return WithShadow(client);
}

// Every image of the skin on a grid, with its name and size; transparency over a light check.
QImage ContactSheet(const Skin& skin, int width) {
    const auto& all = skingen::Catalogue();
    const int cell = 150, cellH = 118, perRow = width / cell;
    const int rows = (int(all.size()) + perRow - 1) / perRow;
    QImage sheet(QSize(width, rows * cellH), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(250, 251, 253));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QImage check(16, 16, QImage::Format_RGB32);
    check.fill(QColor(255, 255, 255));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            check.setPixel(x, y, qRgb(236, 238, 242));
            check.setPixel(x + 8, y + 8, qRgb(236, 238, 242));
        }
    }
    for (int i = 0; i < int(all.size()); ++i) {
        const QRect c((i % perRow) * cell, (i / perRow) * cellH, cell, cellH);
        const QRect box = c.adjusted(8, 6, -8, -34);
        // The caption close buttons are white: show them on the title band's blue.
        const bool onBand = all[i].name.startsWith(QStringLiteral("close"));
        p.fillRect(box, onBand ? QBrush(skingen::palette::kAccent) : QBrush(check));
        const QImage& img = skin[all[i].name];
        QSize shown = img.size();
        if (shown.width() > box.width() || shown.height() > box.height()) {
            shown.scale(box.size(), Qt::KeepAspectRatio);
        }
        p.drawImage(QRect(box.center() - QPoint(shown.width() / 2, shown.height() / 2), shown),
                    img);
        Text(p, QRect(c.left() + 4, box.bottom() + 2, cell - 8, 16),
             p.fontMetrics().elidedText(all[i].name, Qt::ElideMiddle, cell - 8), QColor(51, 51, 51),
             10, Qt::AlignCenter);
        Text(p, QRect(c.left() + 4, box.bottom() + 16, cell - 8, 14),
             QString::asprintf("%d x %d", img.width(), img.height()), QColor(153, 153, 153), 10,
             Qt::AlignCenter);
    }
    return sheet;
}

QImage Gallery(const Skin& skin) {
    const int width = 1800;
    const QImage mainEn = MainWindow(skin, kEnglish);
    const QImage mainZh = MainWindow(skin, kChinese);
    const QImage sheet = ContactSheet(skin, width - 40);
    const int height = 60 + mainEn.height() + 20 + 270 + sheet.height() + 20;
    QImage out(QSize(width, height), QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(233, 236, 242));
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    Text(p, QRect(20, 10, width, 40), S("Tessaro skin gallery"), QColor(34, 34, 34), 22,
         Qt::AlignVCenter, true);
    p.drawImage(QPoint(20, 60), mainEn);
    // The Chinese window, shown at half size beside the English one, with the dialogs below it.
    const QSize half = mainZh.size() / 2;
    const int rx = 40 + mainEn.width();
    p.drawImage(QRect(QPoint(rx, 60), half), mainZh);
    p.drawImage(QPoint(rx, 70 + half.height()), MessageBox(skin, kEnglish, false));
    p.drawImage(QPoint(rx, 70 + half.height() + 175), MessageBox(skin, kChinese, true));
    const int dy = 60 + mainEn.height() + 20;
    p.drawImage(QPoint(20, dy), ExportDialog(skin, kEnglish));
    p.drawImage(QPoint(500, dy), ExportDialog(skin, kChinese));
    {
        // Combo box states, spinners, preview buttons.
        QPainter& q = p;
        int x = 990, y = dy + 14;
        const QImage& strip = skin[QStringLiteral("ComboBox_134.png")];
        const char* combo[4] = {"Default Image 1", "Default Image 2", "默认图片 1", "Sample Video"};
        for (int i = 0; i < 4; ++i) {
            q.drawImage(QPoint(x, y + i * 26), strip, QRect(0, 18 * i, 134, 17));
            Text(q, QRect(x + 6, y + i * 26, 110, 17), S(combo[i]),
                 i == 3 ? QColor(184, 190, 201) : QColor(34, 34, 34), 11);
        }
        const char* bodies[7] = {"body_add_n.png",      "body_add_h.png",      "body_less_n.png",
                                 "body_rotating_n.png", "body_rotating_h.png", "body_choose_h.png",
                                 "body_choose.png"};
        for (int i = 0; i < 7; ++i) {
            q.drawImage(QPoint(x + 160 + (i % 4) * 36, y + (i / 4) * 36), skin[S(bodies[i])]);
        }
        Spinner(q, skin, QRect(x + 160, y + 80, 100, 18), S("1000"));
        const char* tools[9] = {
            "common_close_n.png", "common_close_h.png", "common_min_h.png",
            "btn_maximize_h.png", "doubt_nor.png",      "export_hov.png",
            "down_h.png",         "exchangea_nor.png",  "exchangezhong_nor.png"};
        int tx = x + 320;
        for (const char* t : tools) {
            const QImage& img = skin[S(t)];
            q.drawImage(QPoint(tx, y + 4), img);
            tx += img.width() + 10;
        }
        Button(q, skin[QStringLiteral("common_Select Model_n.png")], QPoint(x + 320, y + 40),
               S("Select Model"), QColor(91, 138, 255));
        Button(q, skin[QStringLiteral("box_choose_bg_h.png")], QPoint(x + 430, y + 40),
               S("Choose this model"), Qt::white);
        Button(q, skin[QStringLiteral("common_excel_n.png")], QPoint(x + 320, y + 80),
               S("    Export To Excel"), QColor(34, 34, 34));
        q.drawImage(QRect(x + 480, y + 80, 260, 40), skin[QStringLiteral("bgBlue.png")]);
        q.drawImage(QPoint(x + 490, y + 88), skin[QStringLiteral("body_POWER REQUIREMENTS.png")]);
        Text(q, QRect(x + 520, y + 80, 200, 40), S("Specifications / 规格"), Qt::white, 14,
             Qt::AlignVCenter, true);
        q.drawImage(QPoint(x + 160, y + 130), skin[QStringLiteral("AboutPic.png")]);
        q.drawImage(QPoint(x + 480, y + 130), skin[QStringLiteral("box_model_bg.png")]);
    }
    p.drawImage(QPoint(20, dy + 270), sheet);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption saveOption(QStringLiteral("save"),
                                        QStringLiteral("Render to this PNG file and exit."),
                                        QStringLiteral("file"));
    const QCommandLineOption skinOption(
        QStringLiteral("skin"), QStringLiteral("The Skin folder to show."), QStringLiteral("dir"),
        QStringLiteral(TESSARO_APP_DIR "/Skin"));
    const QCommandLineOption regionOption(
        QStringLiteral("region"),
        QStringLiteral("With --sheet --save: keep only this part x,y,w,h, enlarged twice."),
        QStringLiteral("x,y,w,h"));
    const QCommandLineOption sheetOption(
        QStringLiteral("sheet"), QStringLiteral("Show the painted windows and every image."));
    parser.addOptions({saveOption, skinOption, regionOption, sheetOption});
    parser.process(app);

#ifdef TESSARO_GALLERY_CONTROLS
    if (!parser.isSet(sheetOption)) {
        SFSetApplication(&app);
        SFLoadStyleSheet(QStringLiteral(TESSARO_APP_DIR "/Tessaro.css").toStdWString().c_str());
        const std::wstring skinPath =
            (parser.value(skinOption) + QStringLiteral("/")).toStdWString();
        SFSetSkinPath(skinPath.c_str());
        gallery::ControlGallery controls;
        QWidget* window = controls.Build();
        if (!window) {
            std::fprintf(stderr, "gallery: the toolkit could not create the dialog\n");
            return 1;
        }
        window->show();
        if (parser.isSet(saveOption)) {
            for (int i = 0; i < 5; ++i) {
                QCoreApplication::processEvents();
            }
            // The open "Setting" menu is a separate pop-up window: lay its picture over the
            // dialog's where it opens, with a soft shadow.
            QImage picture = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QImage menu = controls.MenuPicture();
            if (!menu.isNull()) {
                QPainter p(&picture);
                const QPoint at = controls.MenuPosition();
                for (int i = 1; i <= 4; ++i) {
                    p.fillRect(QRect(at + QPoint(i, i + 1), menu.size()), QColor(20, 30, 60, 14));
                }
                p.drawImage(at, menu);
            }
            return picture.save(parser.value(saveOption)) ? 0 : 1;
        }
        return app.exec();
    }
#endif
    const Skin skin(parser.value(skinOption));
    QImage picture = Gallery(skin);
    if (parser.isSet(regionOption)) {
        const QStringList parts = parser.value(regionOption).split(QLatin1Char(','));
        if (parts.size() == 4) {
            const QRect region(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(),
                               parts[3].toInt());
            picture = picture.copy(region).scaled(region.size() * 2);
        }
    }
    if (!skin.Missing().isEmpty()) {
        std::fprintf(stderr, "gallery: missing images: %s\n",
                     qPrintable(skin.Missing().join(QStringLiteral(", "))));
    }
    if (parser.isSet(saveOption)) {
        return picture.save(parser.value(saveOption)) ? 0 : 1;
    }
    QScrollArea view;
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(picture));
    view.setWidget(label);
    view.resize(1400, 900);
    view.setWindowTitle(QStringLiteral("Tessaro skin gallery"));
    view.show();
    return app.exec();
}
