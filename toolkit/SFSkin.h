#pragma once
// Skin records and the one text grammar their fields follow.
//
// A skin record is filled by the application (assign the fields by name; the declaration order
// is the order in which the windows document them) and read once by a control's SetSkin. Every
// field is text; what a field means follows from its kind:
//   image      file name under the skin directory ("bg_toolbar.png"); empty or unloadable: none
//   rectangle  "x,y,w,h", four decimal integers; empty or malformed: (0, 0, 0, 0). A negative x
//              places a position rectangle from the window's right edge (x + window width).
//   pair       "a,b" (blanks and empty parts ignored); anything but two parts: (0, 0)
//   colour     "RRGGBB", six hex digits; anything else: opaque black
//   alignment  "left" / "center" / "right" → 0 / 1 / 2; anything else: left
// Parsing never fails and never throws: bad text simply yields the default above.
//
// GUI thread only for images (they become pixmaps); the parsers are pure and thread-safe.
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// ---- The UI scale factor: layout sizes given as n·s use trunc(n × s). Nothing in the program
// changes it from 1.0; tests and tools may.
float SFGetUIScale();
void SFSetUIScale(float scale);
int SFScaled(int n);

// ---- The grammar.
QRect SFParseSkinRect(const std::wstring& text);
QPoint SFParseSkinPair(const std::wstring& text);  // (a, b) as x and y
QColor SFParseSkinColor(const std::wstring& text);
int SFParseSkinAlign(const std::wstring& text);
// A position rectangle in a window of the given width: negative x counts from the right edge.
QRect SFResolveSkinPosition(const QRect& position, int windowWidth);

// ---- Image loading from the skin directory that SFSetSkinPath (SFToolkit.h) set.
// The directory is prefixed verbatim to every image name (the program passes it with a
// trailing slash). An empty name gives a null pixmap; so do a missing or unreadable file and an
// unset (empty) skin directory, so nothing is ever read from the working directory.
//
// High-density screens: every skin image may have a twin painted at twice its size beside it
// ("name@2x.png" for "name.png"). Where SFSkinImageRatio() is 2, SFLoadSkinImage loads the twin
// when it exists and gives it device pixel ratio 2, so it covers the same logical size as the
// plain image. Whoever draws a skin pixmap therefore lays it out by deviceIndependentSize(), not
// size(), and cuts pieces from it with SFSkinSourceRect. Style sheet url()s need nothing: Qt's
// style sheets pick the "@2x" twin by the same rule.
//
// Each file is decoded once per ratio and kept (GUI thread only; the pixmaps are shared): a file
// modified since is read again, and SFSetSkinPath and the application's end drop them all.
QString SFSkinDirectory();
QString SFSkinImagePath(const std::wstring& name);
QPixmap SFLoadSkinImage(const std::wstring& name);
// Starts decoding the named skin images on a thread of their own, in the order given, so that
// SFLoadSkinImage finds them decoded: for the images a window shows at its first paint, named
// before it is built. Resolved at the skin directory and ratio of now. SFLoadSkinImage never
// waits longer than a decoding already under way (a name not reached yet is decoded by the
// caller); an image never asked for is dropped with the cache. A second call drops what the
// first decoded and not yet handed out. GUI thread.
void SFPrefetchSkinImages(const std::vector<std::wstring>& names);
// How many skin files SFLoadSkinImage decoded since the last SFPrefetchSkinImages without their
// name being in its list (images served from the cache do not count).
int SFSkinImagesNotPrefetched();
// 2 when the application's device pixel ratio is above 1 (its highest screen's; 1.5 draws the
// twin scaled down, sharper than the plain image scaled up), else 1. Without an application: 1.
int SFSkinImageRatio();
// The device-pixel rectangle of `pixmap` that shows the logical rectangle `logical` (a piece
// rectangle of a skin record, given in the plain image's pixels).
QRect SFSkinSourceRect(const QPixmap& pixmap, const QRect& logical);
// Same, but a path that is absolute or relative to the working directory (for SetImage-like
// operations that take a path rather than a skin name).
QPixmap SFLoadImageFile(const std::wstring& path);

// ---- Records.

struct SkinPiece {
    std::wstring rect;  // rectangle in the frame image
    std::wstring mode;  // "tile", "stretch" or empty; not read: pieces are always copied whole
};

// Dialogs and main windows. The frame pieces are, in order: top-left corner A, top middle B,
// top-right corner C, left edge top D, left edge middle E, left edge bottom F, bottom-left
// corner J, bottom middle K, bottom-right corner L, right edge bottom I, right edge middle H,
// right edge top G. Title-bar button 1 closes, 2 maximises/restores, 3 minimises, 4 has no
// action of its own; a button whose position is empty does not exist.
struct DialogStyle {
    std::wstring frameImage;       // 1
    std::wstring backgroundImage;  // 2: scaled over the window; empty: backgroundColor
    std::wstring backgroundMode;   // 3: not read
    std::wstring backgroundColor;  // 4
    SkinPiece pieces[12];          // 5-28
    // 29-40: source rectangles in the frame image, three states (normal, hover, pressed) each,
    // for button 4, then 3, then 2, then 1.
    std::wstring buttonStateRects[12];
    std::wstring unusedRect;          // 41
    std::wstring buttonPositions[4];  // 42-45: button 4, 3, 2, 1
    std::wstring fontFamily;          // 46: not read
    std::wstring text47;
    std::wstring text48;
    std::wstring titleColor;   // 49
    std::wstring secondColor;  // 50: not read
    std::wstring text51;
    std::wstring text52;
    std::wstring text53;
    std::wstring titleAlign;   // 54
    std::wstring titleArea;    // 55: drag area and title position
    int32_t flag = 0;          // 56: not read
    std::wstring rect57;       // 57: not read
    std::wstring cornerRadii;  // 58: pair
    std::wstring initialSize;  // 59: pair; when given the window takes it, centred on its parent
    // 60-71: images for button 1, then 3, then 2, then 4, three states (normal, hover, pressed)
    // each. A button with a normal image uses these; otherwise it is cut from the frame image.
    std::wstring buttonImages[12];
};

// Buttons: normal, hover, pressed, disabled, then four texts the program leaves empty.
struct ImageButtonStyle {
    std::wstring normal;
    std::wstring hover;
    std::wstring pressed;
    std::wstring disabled;
    std::wstring extra[4];
};

// Combo box: one strip with the closed box's state pictures; rectangles for normal, hover,
// open below, open above, disabled and two more carried but not used; a "stretch" mode
// stretches its slice over the box, anything else draws it at its own size.
struct ImageComboBoxStyle {
    std::wstring image;
    std::wstring stateRects[7];
    std::wstring stateModes[7];
};

// Both spinners.
struct ImageNumSpinerStyle {
    int32_t value = 0;
    std::wstring frameImage;
    std::wstring downNormal;
    std::wstring downHover;
    std::wstring downPressed;
    std::wstring downDisabled;
    std::wstring reserved[3];
    std::wstring upNormal;
    std::wstring upHover;
    std::wstring upPressed;
    std::wstring upDisabled;
    std::wstring extra[4];
};

// Radio boxes. An image at least as wide as the box is its background (the text is drawn over
// it); a narrower image is an icon at the icon offset, followed by the text. Hover and
// disabled images fall back to the plain checked/unchecked ones.
struct ImageRadioBox {
    std::wstring checked;
    std::wstring unchecked;
    std::wstring checkedHover;
    std::wstring uncheckedHover;
    std::wstring checkedDisabled;
    std::wstring uncheckedDisabled;
};

// List control (colours; empty fields keep the toolkit's light look).
struct ListCtrlStyle {
    std::wstring headerBackground;
    std::wstring headerText;
    std::wstring rowBackground;
    std::wstring alternateRowBackground;
    std::wstring selectedBackground;
    std::wstring text;
    std::wstring grid;
};

// Scroll area (colours; empty fields keep the toolkit's look). The background may instead name a
// skin image ("/bgColorWhite.png"), which is tiled behind the scrolled content.
struct ScrollAreaStyle {
    std::wstring background;
    std::wstring handle;
    std::wstring handleHover;
    std::wstring groove;
};
