// The user's guides lie in the application directory after the build, under the names the tool
// bar's "Help" entry opens, as PDF files of at least one page that carry the title of their HTML
// source.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A PDF text string as the PDF writer stores document information: UTF-16BE after a byte-order
// mark, with the bytes of "(", ")" and "\" escaped by a backslash.
QByteArray PdfTextString(const QString& text) {
    QByteArray out("\xFE\xFF", 2);
    for (const QChar c : text) {
        for (const char byte : {char(c.unicode() >> 8), char(c.unicode() & 0xFF)}) {
            if (byte == '(' || byte == ')' || byte == '\\') {
                out += '\\';
            }
            out += byte;
        }
    }
    return out;
}

struct Guide {
    const char* pdf;
    const char* html;
};

TEST(UserGuides, ArePdfsOfAtLeastOnePageTitledAsTheirSources) {
    for (const Guide& guide : {Guide{"User's Eng Guide.pdf", "guide_en.html"},
                               Guide{"User's Chn Guide.pdf", "guide_zh.html"}}) {
        SCOPED_TRACE(guide.pdf);
        const QByteArray pdf =
            ReadAll(QStringLiteral(TESSARO_APP_DIR "/") + QString::fromUtf8(guide.pdf));
        ASSERT_TRUE(pdf.startsWith("%PDF-")) << "missing or not a PDF";

        // The page tree's root counts every page.
        const QRegularExpression pages(QStringLiteral("/Type /Pages\\s[^>]*/Count (\\d+)"));
        const QRegularExpressionMatch count = pages.match(QString::fromLatin1(pdf));
        ASSERT_TRUE(count.hasMatch());
        EXPECT_GE(count.captured(1).toInt(), 1);

        const QString html = QString::fromUtf8(ReadAll(
            QStringLiteral(TESSARO_SOURCE_DIR "/data/guide/") + QString::fromUtf8(guide.html)));
        const QRegularExpressionMatch title =
            QRegularExpression(QStringLiteral("<title>([^<]+)</title>")).match(html);
        ASSERT_TRUE(title.hasMatch());
        EXPECT_TRUE(pdf.contains(QByteArray("/Title (") + PdfTextString(title.captured(1)) + ')'))
            << title.captured(1).toStdString();
    }
}

}  // namespace
