#include "tools/skingen/Frame.h"

#include <QPainter>

#include <cmath>

namespace skingen {

namespace {
QRect R(int x, int y, int w, int h) {
    return QRect(x, y, w, h);
}
}  // namespace

FramePieces DialogPieces() {
    const QRect edgeL = R(0, 37, 1, 30), edgeR = R(85, 37, 1, 30);
    return {R(0, 0, 10, 35), R(30, 0, 1, 35),  R(76, 0, 10, 35), edgeL, edgeL, edgeL,
            R(0, 84, 10, 1), R(10, 84, 30, 1), R(85, 84, 1, 1),  edgeR, edgeR, edgeR};
}

FramePieces ExportPieces() {
    const QRect edgeL = R(0, 37, 1, 30), edgeR = R(85, 37, 1, 30);
    return {R(0, 0, 10, 36),  R(30, 0, 1, 36),   R(76, 0, 10, 36),  edgeL, edgeL, edgeL,
            R(0, 75, 10, 10), R(10, 75, 30, 10), R(76, 75, 10, 10), edgeR, edgeR, edgeR};
}

FramePieces MainPieces() {
    const QRect edgeL = R(0, 37, 1, 30), edgeR = R(85, 37, 1, 30);
    return {R(0, 0, 10, 8),  R(30, 0, 1, 8),   R(138, 0, 10, 8), edgeL, edgeL, edgeL,
            R(0, 84, 10, 1), R(10, 84, 30, 1), R(84, 84, 2, 1),  edgeR, edgeR, edgeR};
}

QImage ComposeFrame(const QImage& frame, const QImage& background, const FramePieces& pc,
                    QSize size) {
    // At the frame image's ratio: a twin painted at 2 is cut at twice the records' rectangles.
    const int r = qRound(frame.devicePixelRatio());
    QImage out(size * r, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(r);
    out.fill(Qt::transparent);
    QPainter p(&out);
    const int W = size.width(), H = size.height();
    if (!background.isNull()) {
        p.drawImage(QRect(0, 0, W, H), background);
    }
    auto put = [&](const QRect& piece, int x, int y) {
        p.drawImage(QPoint(x, y), frame,
                    QRect(piece.x() * r, piece.y() * r, piece.width() * r, piece.height() * r));
    };
    const QRect &A = pc[0], &B = pc[1], &C = pc[2], &D = pc[3], &E = pc[4], &F = pc[5];
    const QRect &J = pc[6], &K = pc[7], &L = pc[8], &I = pc[9], &Hh = pc[10], &G = pc[11];
    put(A, 0, 0);
    for (int x = A.width(); B.width() > 0 && x < W - C.width(); x += B.width()) {
        put(B, x, 0);
    }
    put(C, W - C.width(), 0);
    put(D, 0, A.height());
    for (int y = A.height() + D.height(); E.height() > 0 && y < H - F.height() - J.height();
         y += E.height()) {
        put(E, 0, y);
    }
    put(F, 0, H - F.height() - J.height());
    put(G, W - G.width(), A.height());
    for (int y = A.height() + G.height(); Hh.height() > 0 && y < H - I.height() - J.height();
         y += Hh.height()) {
        put(Hh, W - Hh.width(), y);
    }
    put(I, W - I.width(), H - I.height() - J.height());
    put(J, 0, H - J.height());
    for (int x = J.width(); K.width() > 0 && x < W - L.width(); x += K.width()) {
        put(K, x, H - K.height());
    }
    put(L, W - L.width(), H - L.height());
    return out;
}

QImage WithShadow(const QImage& client) {
    const int s = 10;
    QImage out(client.size() + QSize(2 * s, 2 * s), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    const QRect all = out.rect();
    p.fillRect(all.adjusted(s, s, -s, -s), QColor(82, 82, 82));
    for (int i = 0; i < s; ++i) {
        const int inset = s - i;
        p.setPen(QColor(82, 82, 82, static_cast<int>(90 - 30 * std::sqrt(static_cast<double>(i)))));
        p.setBrush(Qt::NoBrush);
        p.drawRect(all.adjusted(inset, inset, -inset - 1, -inset - 1));
    }
    p.drawImage(QPoint(s, s), client);
    return out;
}

}  // namespace skingen
