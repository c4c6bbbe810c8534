#pragma once
// Paints skinned windows the way the toolkit composes them: the background image scaled over the
// window, then the twelve frame pieces cut from one frame image (corners once, edges repeated
// whole, the next piece covering any overhang), inside a 10-pixel drop shadow. The gallery and
// the skin's tests compose the frames with their real records, so a seam in a frame image shows.
#include <QImage>
#include <QRect>
#include <QString>

#include <array>

namespace skingen {

// The piece rectangles in record order: A, B, C, D, E, F, J, K, L, I, H, G.
using FramePieces = std::array<QRect, 12>;

FramePieces DialogPieces();  // message box and about dialog
FramePieces ExportPieces();  // export dialog
FramePieces MainPieces();    // main window

// The composed frame of a window of `size` (background, then pieces); no shadow. The pieces are
// the records' rectangles; a frame painted at ratio 2 is cut at twice them, and the result has
// ratio 2 (twice `size` in pixels), as the toolkit composes it on a high-density screen.
QImage ComposeFrame(const QImage& frame, const QImage& background, const FramePieces& pieces,
                    QSize size);

// `client` drawn inside a 10-pixel shadow, as a translucent skinned window paints itself.
QImage WithShadow(const QImage& client);

}  // namespace skingen
