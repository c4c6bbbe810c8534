// skingen: paints every skin image into a folder (the build runs it into the application
// directory's Skin/), each also at twice its size ("name@2x.png"), and can write the table of
// docs/skin.md and the application icon's sizes for the hicolor theme.
//
//   skingen --icons <data/skin/icons> --out <dir> [--markdown <file>]
//   skingen --icons <data/skin/icons> --app-icons <dir> --app-id <id>
//     writes <dir>/<n>x<n>/apps/<id>.png for every size of kAppIconSizes
//
// Fails (exit code 1) when an icon source is missing or a file cannot be written, so a broken
// skin stops the build instead of shipping blank pictures.
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

#include "tools/skingen/Skin.h"

namespace {

// Writes only when the bytes differ, so an unchanged image keeps its time stamp.
bool WriteIfChanged(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return false;
    }
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) {
        return true;
    }
    existing.close();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray Markdown() {
    QString text;
    QTextStream out(&text);
    out << "# The skin\n\n"
        << "Every image the windows draw lies in `Skin/` beside the executable. The build paints\n"
        << "them with `tools/skingen` from the line icons in `data/skin/icons` and from drawing\n"
        << "code; this table is written by `skingen --markdown docs/skin.md`.\n\n"
        << "Frame images follow their records' piece rectangles: `bg_toolbar.png` has the blue\n"
        << "title band on rows 0-35 and the 1-pixel outline on columns 0 and 85 and row 84, so\n"
        << "both the 35-row band of the message box and about dialog and the 36-row band and\n"
        << "10-row bottom of the export dialog compose without seams; its inside is transparent\n"
        << "(the window's background image shows through). `DlgBackgorund.png` has an 8-row top\n"
        << "band (a 3-row accent stripe) and the same outline for the main window.\n\n"
        << "| record | frame image | A, B, C | D/E/F | J, K, L | I/H/G "
           "|\n|---|---|---|---|---|---|\n"
        << "| message box, about dialog | `bg_toolbar.png` | 0,0,10,35; 30,0,1,35; 76,0,10,35 | "
           "0,37,1,30 | 0,84,10,1; 10,84,30,1; 85,84,1,1 | 85,37,1,30 |\n"
        << "| export dialog | `bg_toolbar.png` | 0,0,10,36; 30,0,1,36; 76,0,10,36 | 0,37,1,30 | "
           "0,75,10,10; 10,75,30,10; 76,75,10,10 | 85,37,1,30 |\n"
        << "| main window | `DlgBackgorund.png` | 0,0,10,8; 30,0,1,8; 138,0,10,8 | 0,37,1,30 | "
           "0,84,10,1; 10,84,30,1; 84,84,2,1 | 85,37,1,30 |\n\n"
        << "The gallery (`tools/gallery`) composes these frames with the same rules and shows\n"
        << "every image; `docs/gallery.png` is its picture.\n\n"
        << "High-density screens: every image is painted a second time at twice its size, as\n"
        << "`name@2x.png` beside `name.png` (painted, not enlarged: lines, icons and text are\n"
        << "drawn at that size). Where the device pixel ratio is above 1 the toolkit loads the\n"
        << "twin with ratio 2 and cuts frame pieces at twice the records' rectangles, so the\n"
        << "frames compose as exactly as at ratio 1. The step numbers of `common_step*` and the\n"
        << "letters of `exchangea_nor.png` and `exchangezhong_nor.png` are the only text painted\n"
        << "into images (DejaVu Sans and WenQuanYi Micro Hei); every caption is drawn by its\n"
        << "control. The program's logo, `logo.png`, the about banner's logo and the installed\n"
        << "application icons are all painted from `data/skin/icons/logo.svg`.\n\n"
        << "How the controls lay faces out: the two-way switch halves (`common_check_*`,\n"
        << "`common_uncheck_*`), the tabs and the step headers are as wide as their radio boxes,\n"
        << "so they are backgrounds with the caption drawn over them (centred on the switch\n"
        << "halves; from x 32 on the tabs, after their icon at x 10; from x 46 on the step\n"
        << "headers, after the numbered badge). Spinners stretch `kuang2_nor.png` over their\n"
        << "rectangle and lay the 16 x 9 arrows over the top and bottom halves of its right end;\n"
        << "each arrow carries its part of the outline. Button faces are stretched over their\n"
        << "buttons; they are painted at the size the layouts give, where a layout gives one.\n"
        << "The leading blanks of \"  Fit To Room\" and \"    Export To Excel\" leave room for "
           "the\n"
        << "icons painted at the left of those faces.\n\n"
        << "| image | size | shows | used by |\n|---|---|---|---|\n";
    for (const skingen::SkinImage& image : skingen::Catalogue()) {
        out << "| `" << image.name << "` | " << image.size.width() << " x " << image.size.height()
            << " | " << image.shows << " | " << image.usedBy << " |\n";
    }
    out.flush();
    return text.toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption iconsOption(QStringLiteral("icons"),
                                         QStringLiteral("Folder of the SVG line icons."),
                                         QStringLiteral("dir"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Folder to write the images into."),
                                       QStringLiteral("dir"));
    const QCommandLineOption markdownOption(QStringLiteral("markdown"),
                                            QStringLiteral("Write the image table to this file."),
                                            QStringLiteral("file"));
    const QCommandLineOption appIconsOption(
        QStringLiteral("app-icons"),
        QStringLiteral("Folder to write the application icon's hicolor sizes into."),
        QStringLiteral("dir"));
    const QCommandLineOption appIdOption(QStringLiteral("app-id"),
                                         QStringLiteral("File name of the application icon."),
                                         QStringLiteral("id"));
    parser.addOptions({iconsOption, outOption, markdownOption, appIconsOption, appIdOption});
    parser.process(app);

    if (parser.isSet(markdownOption) && !WriteIfChanged(parser.value(markdownOption), Markdown())) {
        std::fprintf(stderr, "skingen: cannot write %s\n",
                     qPrintable(parser.value(markdownOption)));
        return 1;
    }
    const skingen::IconLibrary icons(parser.value(iconsOption));
    if (parser.isSet(outOption)) {
        const QString outDir = parser.value(outOption);
        if (!QDir().mkpath(outDir)) {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(outDir));
            return 1;
        }
        for (const skingen::SkinImage& image : skingen::Catalogue()) {
            for (const int ratio : {1, 2}) {
                const QString name = ratio == 1 ? image.name : skingen::TwinName(image.name);
                if (!WriteIfChanged(outDir + QStringLiteral("/") + name,
                                    Png(skingen::Render(image, icons, ratio)))) {
                    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(name));
                    return 1;
                }
            }
        }
    }
    if (parser.isSet(appIconsOption)) {
        const QString id = parser.value(appIdOption);
        for (const int side : skingen::kAppIconSizes) {
            const QString dir =
                QStringLiteral("%1/%2x%2/apps").arg(parser.value(appIconsOption)).arg(side);
            const QString path = dir + QStringLiteral("/") + id + QStringLiteral(".png");
            if (id.isEmpty() || !QDir().mkpath(dir) ||
                !WriteIfChanged(path, Png(skingen::RenderAppIcon(icons, side)))) {
                std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    if (!icons.Missing().isEmpty()) {
        std::fprintf(stderr, "skingen: missing or invalid icons: %s\n",
                     qPrintable(icons.Missing().join(QStringLiteral(", "))));
        return 1;
    }
    return 0;
}
