// guidegen: prints a user's guide written in HTML (data/guide/) to a PDF file at build time.
//
//   guidegen <guide.html> <out.pdf>
//
// The document's <title> becomes the PDF's title. Images are named relative to the HTML file;
// a missing image fails the run instead of leaving a hole in the guide. Runs without a display
// under QT_QPA_PLATFORM=offscreen; the fonts named by the HTML must be installed (DejaVu Sans,
// and WenQuanYi Micro Hei for Chinese), or the PDF falls back to whatever fontconfig offers.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>

namespace {

// Loads every image the document names, resolved against its base URL, into the document's
// resources under the name it is known by. Printing lays out a clone of the document, which keeps
// the resources but not the base URL: an image left to be found later would be missing there
// (and Qt 6.4 lays out a page with an unresolvable image badly). Returns the names that did not
// load.
QStringList LoadImages(QTextDocument& doc) {
    QStringList missing;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat()) {
                continue;
            }
            const QString name = format.toImageFormat().name();
            const QImage image(doc.baseUrl().resolved(QUrl(name)).toLocalFile());
            if (image.isNull()) {
                missing << name;
            } else {
                doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
            }
        }
    }
    return missing;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: guidegen <guide.html> <out.pdf>\n", stderr);
        return 2;
    }
    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "guidegen: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QTextDocument doc;
    doc.setBaseUrl(QUrl::fromLocalFile(QFileInfo(args[1]).absolutePath() + QStringLiteral("/")));
    doc.setHtml(QString::fromUtf8(source.readAll()));
    const QStringList missing = LoadImages(doc);
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "guidegen: %s names missing images: %s\n", qPrintable(args[1]),
                     qPrintable(missing.join(QStringLiteral(", "))));
        return 1;
    }

    QPdfWriter writer(args[2]);
    writer.setTitle(doc.metaInformation(QTextDocument::DocumentTitle));
    writer.setCreator(QStringLiteral("Tessaro guidegen"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(18, 16, 18, 16), QPageLayout::Millimeter));
    // The screenshots are drawn at 96 px per inch on the page; 300 dpi keeps their pixels.
    writer.setResolution(300);
    doc.print(&writer);
    // QPdfWriter reports a failed write only through its device.
    if (!QFileInfo(args[2]).size()) {
        std::fprintf(stderr, "guidegen: could not write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
