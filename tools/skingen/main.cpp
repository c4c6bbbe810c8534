// skingen: paints every skin image into a folder (the build runs it into the application
// directory's Skin/), and can write the table of docs/skin.md.
//
//   skingen --icons <data/skin/icons> --out <dir> [--markdown <file>]
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
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) {
        return true;
    }
    existing.close();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
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
    parser.addOptions({iconsOption, outOption, markdownOption});
    parser.process(app);

    if (parser.isSet(markdownOption) && !WriteIfChanged(parser.value(markdownOption), Markdown())) {
        std::fprintf(stderr, "skingen: cannot write %s\n",
                     qPrintable(parser.value(markdownOption)));
        return 1;
    }
    if (!parser.isSet(outOption)) {
        return 0;
    }
    const QString outDir = parser.value(outOption);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const skingen::IconLibrary icons(parser.value(iconsOption));
    for (const skingen::SkinImage& image : skingen::Catalogue()) {
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            skingen::Render(image, icons).save(&buffer, "PNG");
        }
        if (png.isEmpty() || !WriteIfChanged(outDir + QStringLiteral("/") + image.name, png)) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(image.name));
            return 1;
        }
    }
    if (!icons.Missing().isEmpty()) {
        std::fprintf(stderr, "skingen: missing or invalid icons: %s\n",
                     qPrintable(icons.Missing().join(QStringLiteral(", "))));
        return 1;
    }
    return 0;
}
