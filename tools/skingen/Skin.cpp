#include "tools/skingen/Skin.h"

#include <QFile>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

namespace skingen {

IconLibrary::IconLibrary(QString directory) : m_directory(std::move(directory)) {}

void IconLibrary::Draw(QPainter& painter, const QString& name, const QRectF& target,
                       const QColor& colour) const {
    auto found = m_sources.find(name);
    if (found == m_sources.end()) {
        QFile file(m_directory + QStringLiteral("/") + name + QStringLiteral(".svg"));
        QByteArray text;
        if (file.open(QIODevice::ReadOnly)) {
            text = file.readAll();
        }
        if (text.isEmpty()) {
            m_missing.append(name);
        }
        found = m_sources.emplace(name, text).first;
    }
    if (found->second.isEmpty()) {
        return;
    }
    // The icons stroke and fill with currentColor; QtSvg has no CSS colour context, so the
    // colour is written into the source before it is parsed.
    QByteArray source = found->second;
    source.replace("currentColor", colour.name(QColor::HexRgb).toUtf8());
    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        m_missing.append(name);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (colour.alpha() != 255) {
        painter.setOpacity(painter.opacity() * colour.alphaF());
    }
    renderer.render(&painter, target);
    painter.restore();
}

QStringList IconLibrary::Missing() const {
    QStringList names = m_missing;
    names.removeDuplicates();
    return names;
}

QImage Render(const SkinImage& image, const IconLibrary& icons, int ratio) {
    QImage canvasImage(image.size * ratio, QImage::Format_ARGB32_Premultiplied);
    canvasImage.setDevicePixelRatio(ratio);
    canvasImage.fill(Qt::transparent);
    {
        QPainter painter(&canvasImage);
        Canvas canvas{painter, image.size, icons, ratio};
        image.paint(canvas);
    }
    return canvasImage.convertToFormat(QImage::Format_ARGB32);
}

QString TwinName(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name + QStringLiteral("@2x")
                   : name.left(dot) + QStringLiteral("@2x") + name.mid(dot);
}

QImage RenderAppIcon(const IconLibrary& icons, int side) {
    QImage icon(side, side, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        icons.Draw(painter, QStringLiteral("logo"), QRectF(0, 0, side, side), Qt::white);
    }
    return icon.convertToFormat(QImage::Format_ARGB32);
}

namespace {

using namespace palette;

enum class State { Normal, Hover, Pressed, Disabled };

QColor WithAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// A filled box with an optional 1-pixel border laid on pixel centres, so the line stays crisp.
void Box(QPainter& p, const QRectF& r, qreal radius, const QColor& fill, const QColor& border) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(border.isValid() ? QPen(border, 1.0) : QPen(Qt::NoPen));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    const QRectF box = border.isValid() ? r.adjusted(0.5, 0.5, -0.5, -0.5) : r;
    p.drawRoundedRect(box, radius, radius);
    p.restore();
}

void GradientBox(QPainter& p, const QRectF& r, qreal radius, const QColor& top,
                 const QColor& bottom, const QColor& border) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(border.isValid() ? QPen(border, 1.0) : QPen(Qt::NoPen));
    p.setBrush(g);
    const QRectF box = border.isValid() ? r.adjusted(0.5, 0.5, -0.5, -0.5) : r;
    p.drawRoundedRect(box, radius, radius);
    p.restore();
}

QRectF Whole(const Canvas& c) {
    return QRectF(QPointF(0, 0), QSizeF(c.size));
}

QRectF Centred(const Canvas& c, qreal side) {
    return QRectF((c.size.width() - side) / 2.0, (c.size.height() - side) / 2.0, side, side);
}

void Chevron(QPainter& p, QPointF centre, qreal halfWidth, qreal height, bool up,
             const QColor& colour, qreal width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal dy = up ? -height / 2 : height / 2;
    const QPointF points[3] = {centre + QPointF(-halfWidth, -dy), centre + QPointF(0, dy),
                               centre + QPointF(halfWidth, -dy)};
    p.drawPolyline(points, 3);
    p.restore();
}

QFont UiFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// ---- Window frames ---------------------------------------------------------------------------

// The dialogs' frame image (message box, about and export dialogs). Their records cut:
//   top band    A 0,0,10,35|36  B 30,0,1,35|36  C 76,0,10,35|36   (rows 0-35: the blue title band)
//   edges       D/E/F 0,37,1,30  G/H/I 85,37,1,30                 (columns 0 and 85: the outline)
//   bottom      J 0,84,10,1 or 0,75,10,10, K 10,84,30,1 or 10,75,30,10, L 85,84,1,1 or 76,75,10,10
// Everything inside the outline is transparent, so the window's background shows through the
// deeper bottom band of the export dialog as well. Columns 86-95 hold nothing; they only keep the
// records' unused button rectangles (up to x 94) inside the image.
void PaintDialogFrame(Canvas& c) {
    QPainter& p = c.painter;
    const int right = 85;
    QLinearGradient band(0, 0, 0, 36);
    band.setColorAt(0, QColor(104, 148, 255));
    band.setColorAt(1, kAccent);
    p.fillRect(QRect(0, 0, right + 1, 36), band);
    p.fillRect(QRect(0, 37, 1, 48), kFrameEdge);
    p.fillRect(QRect(right, 37, 1, 48), kFrameEdge);
    p.fillRect(QRect(0, 84, right + 1, 1), kFrameEdge);
}

// The main window's frame image. Its record cuts A 0,0,10,8, B 30,0,1,8, C 138,0,10,8 (a top
// band of 8 rows: a 3-row accent stripe over the outline), D/E/F 0,37,1,30 and G/H/I 85,37,1,30
// (the side outline), J 0,84,10,1, K 10,84,30,1 and L 84,84,2,1 (the bottom outline).
void PaintMainFrame(Canvas& c) {
    QPainter& p = c.painter;
    const int width = c.size.width();
    p.fillRect(QRect(0, 0, width, 3), kAccent);
    p.fillRect(QRect(0, 3, 1, 5), kFrameEdge);
    p.fillRect(QRect(width - 1, 3, 1, 5), kFrameEdge);
    p.fillRect(QRect(0, 37, 1, 30), kFrameEdge);
    p.fillRect(QRect(85, 37, 1, 30), kFrameEdge);
    p.fillRect(QRect(0, 84, 40, 1), kFrameEdge);
    p.fillRect(QRect(84, 84, 2, 1), kFrameEdge);
}

// ---- Buttons ---------------------------------------------------------------------------------

// Light button for dark captions ("OK", "Brown", "Cancel").
void SoftButton(Canvas& c, State s) {
    switch (s) {
        case State::Normal:
            GradientBox(c.painter, Whole(c), 4, kSurface, QColor(243, 246, 251), kBorder);
            break;
        case State::Hover:
            GradientBox(c.painter, Whole(c), 4, QColor(246, 249, 255), kAccentTint, kAccent);
            break;
        case State::Pressed:
            Box(c.painter, Whole(c), 4, kAccentTintStrong, kAccentPressed);
            break;
        case State::Disabled:
            Box(c.painter, Whole(c), 4, QColor(244, 245, 247), QColor(225, 228, 234));
            break;
    }
}

// Accent button for white captions, with an optional icon where the caption's leading blanks
// leave room.
void PrimaryButton(Canvas& c, State s, const QString& icon) {
    QColor top, bottom;
    switch (s) {
        case State::Normal:
            top = kAccentHover;
            bottom = kAccent;
            break;
        case State::Hover:
            top = QColor(138, 172, 255);
            bottom = kAccentHover;
            break;
        case State::Pressed:
            top = kAccentPressed;
            bottom = kAccentPressed;
            break;
        case State::Disabled:
            top = bottom = QColor(185, 200, 238);
            break;
    }
    GradientBox(c.painter, Whole(c), 4, top, bottom, QColor());
    if (!icon.isEmpty()) {
        const qreal side = 14;
        c.icons.Draw(c.painter, icon, QRectF(7, (c.size.height() - side) / 2, side, side),
                     Qt::white);
    }
}

// White button with an accent outline, for accent captions ("Select Model").
void OutlineButton(Canvas& c, State s) {
    Box(c.painter, Whole(c), 4, s == State::Normal ? kSurface : kAccentTint, kAccent);
}

// The spreadsheet export button: a light face with the sheet icon before the caption.
void ExcelButton(Canvas& c, State s) {
    Box(c.painter, Whole(c), 4, s == State::Normal ? kSurface : kAccentTint,
        s == State::Normal ? kBorder : kAccent);
    c.icons.Draw(c.painter, QStringLiteral("sheet"), QRectF(10, (c.size.height() - 16) / 2, 16, 16),
                 QColor(33, 150, 96));
}

// Close button on a blue title band: white cross, a translucent disc on hover and press.
void CaptionClose(Canvas& c, State s) {
    QPainter& p = c.painter;
    if (s == State::Hover || s == State::Pressed) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(Qt::white, s == State::Hover ? 56 : 92));
        p.drawEllipse(Whole(c).adjusted(1, 1, -1, -1));
        p.restore();
    }
    const QColor glyph = s == State::Disabled ? WithAlpha(Qt::white, 110) : QColor(Qt::white);
    c.icons.Draw(p, QStringLiteral("close"), Centred(c, 16), glyph);
}

// Icon button of the tool bar: grey line icon; hover and press lay a tint under an accent icon.
void ToolIcon(Canvas& c, const QString& icon, State s, bool danger = false) {
    QPainter& p = c.painter;
    QColor glyph = kIcon;
    if (s == State::Hover || s == State::Pressed) {
        QColor back = danger ? kDanger : (s == State::Hover ? kAccentTint : kAccentTintStrong);
        if (danger && s == State::Pressed) {
            back = back.darker(115);
        }
        Box(p, Whole(c), 3, back, QColor());
        glyph = danger ? QColor(Qt::white) : (s == State::Hover ? kAccent : kAccentPressed);
    } else if (s == State::Disabled) {
        glyph = kIconDisabled;
    }
    const qreal side = c.size.height() - 3;
    c.icons.Draw(p, icon, QRectF(1.5, 1.5, side, side), glyph);
}

// Round buttons around the wall preview (add, less, rotate, choose model).
void CircleButton(Canvas& c, const QString& icon, State s) {
    QPainter& p = c.painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = Whole(c).adjusted(1, 0.5, -1, -1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 30, 60, 28));
    p.drawEllipse(disc.translated(0, 1));
    QColor fill = kSurface, border = kBorder, glyph = kIcon;
    if (s == State::Hover || s == State::Pressed) {
        fill = s == State::Hover ? kAccent : kAccentPressed;
        border = fill;
        glyph = Qt::white;
    } else if (s == State::Disabled) {
        fill = QColor(241, 243, 246);
        border = QColor(225, 228, 234);
        glyph = kIconDisabled;
    }
    p.setBrush(fill);
    p.setPen(QPen(border, 1));
    p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
    c.icons.Draw(p, icon, disc.adjusted(6, 6, -6, -6), glyph);
}

// ---- Radio faces -----------------------------------------------------------------------------

// Step header of the parameter panel: a numbered badge on the left; the radio draws the step's
// title to its right (from x 46, 134 pixels: "Content Configuration" at
// 12 pixels fits). The open step has a tinted card and an accent underline.
void StepHeader(Canvas& c, int step, bool open) {
    QPainter& p = c.painter;
    const int w = c.size.width(), h = c.size.height();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (open) {
        QPainterPath card;
        card.addRoundedRect(QRectF(0, 0, w, h + 8), 6, 6);
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, QColor(246, 249, 255));
        g.setColorAt(1, kAccentTint);
        p.setClipRect(QRect(0, 0, w, h));
        p.fillPath(card, g);
        p.setClipping(false);
        p.fillRect(QRect(0, h - 3, w, 3), kAccent);
    } else {
        p.fillRect(QRect(0, h - 1, w, 1), kDivider);
    }
    const QRectF badge(10, (h - 26) / 2.0, 26, 26);
    if (open) {
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawEllipse(badge);
    } else {
        p.setPen(QPen(QColor(197, 204, 216), 1.5));
        p.setBrush(kSurface);
        p.drawEllipse(badge.adjusted(0.75, 0.75, -0.75, -0.75));
    }
    p.setFont(UiFont(14, true));
    p.setPen(open ? QColor(Qt::white) : QColor(138, 147, 163));
    p.drawText(badge.translated(0, -0.5), Qt::AlignCenter, QString::number(step));
    p.restore();
}

// One half of a two-way switch ("Meters | Feet", "Landscape | Portrait"): the left half rounds
// its left corners, the right half its right corners and leaves its left edge to the left half,
// so the pair shows one 1-pixel divider. The radio draws its caption centred over the face.
void Segment(Canvas& c, bool leftHalf, bool checked) {
    QPainter& p = c.painter;
    const qreal w = c.size.width(), h = c.size.height(), r = 4;
    const QColor fill = checked ? kAccentTintStrong : kSurface;
    const QColor line = checked ? kAccent : kBorder;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    const QRectF box(0.5, 0.5, w - 1, h - 1);
    if (leftHalf) {
        face.moveTo(box.right(), box.top());
        face.lineTo(box.left() + r, box.top());
        face.arcTo(QRectF(box.left(), box.top(), 2 * r, 2 * r), 90, 90);
        face.lineTo(box.left(), box.bottom() - r);
        face.arcTo(QRectF(box.left(), box.bottom() - 2 * r, 2 * r, 2 * r), 180, 90);
        face.lineTo(box.right(), box.bottom());
        face.closeSubpath();
    } else {
        const QRectF open(-0.5, 0.5, w, h - 1);
        face.moveTo(open.left(), open.top());
        face.lineTo(open.right() - r, open.top());
        face.arcTo(QRectF(open.right() - 2 * r, open.top(), 2 * r, 2 * r), 90, -90);
        face.lineTo(open.right(), open.bottom() - r);
        face.arcTo(QRectF(open.right() - 2 * r, open.bottom() - 2 * r, 2 * r, 2 * r), 0, -90);
        face.lineTo(open.left(), open.bottom());
        face.closeSubpath();
    }
    p.setPen(QPen(line, 1));
    p.setBrush(fill);
    p.drawPath(face);
    p.restore();
}

// Page tab of the tool bar: icon at x 10, caption drawn by the radio from x 32; the selected
// (and hovered) tab is underlined in the accent colour.
void Tab(Canvas& c, const QString& icon, bool selected) {
    QPainter& p = c.painter;
    const int w = c.size.width(), h = c.size.height();
    if (selected) {
        Box(p, QRectF(0, 3, w, h - 6), 5, kAccentTint, QColor());
        Box(p, QRectF(10, h - 3, w - 20, 3), 1.5, kAccent, QColor());
    }
    c.icons.Draw(p, icon, QRectF(10, (h - 16) / 2.0, 16, 16), selected ? kAccent : kIcon);
}

// Language switch: a globe with the letter of the language it shows.
void LanguageFace(Canvas& c, const QString& letter, const QString& family) {
    QPainter& p = c.painter;
    c.icons.Draw(p, QStringLiteral("globe"), QRectF(0.5, 0.5, 15, 15), kIcon);
    QFont font(family);
    font.setPixelSize(12);
    font.setBold(true);
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(kAccent);
    p.drawText(QRectF(16, 0, c.size.width() - 16, c.size.height()), Qt::AlignCenter, letter);
    p.restore();
}

// ---- Combo box and spinners ------------------------------------------------------------------

// The combo box strip: four 134 x 17 faces on rows 18 pixels apart (normal, hover, open,
// disabled); the box draws its text over the left part, the chevron is part of the face.
void ComboStrip(Canvas& c) {
    QPainter& p = c.painter;
    const int w = c.size.width();
    struct Face {
        QColor fill, border, glyph;
        bool up;
    };
    const Face faces[4] = {{kSurface, kBorder, kIcon, false},
                           {kSurface, kAccent, kAccent, false},
                           {kAccentTint, kAccent, kAccent, true},
                           {QColor(243, 244, 246), QColor(225, 228, 234), kIconDisabled, false}};
    for (int i = 0; i < 4; ++i) {
        const QRectF face(0, 18 * i, w, 17);
        Box(p, face, 3, faces[i].fill, faces[i].border);
        Chevron(p, QPointF(w - 12, face.top() + 8.5), 3.5, 3.5, faces[i].up, faces[i].glyph, 1.5);
    }
}

// The spinner's field: the spinner stretches it over its whole rectangle (100 x 18 at scale 1).
void SpinnerFrame(Canvas& c) {
    Box(c.painter, Whole(c), 3, kSurface, kBorder);
}

// One spinner arrow (16 x 9): the spinner lays the up arrow over the top half and the down arrow
// over the bottom half of its right end, over the field's outline, so each arrow carries that
// part of the outline (top or bottom edge, right edge, rounded corner) itself. Its left column is
// the divider to the number; the up arrow's last row divides the two arrows.
void SpinnerArrow(Canvas& c, bool up, State s) {
    QPainter& p = c.painter;
    const qreal w = c.size.width(), h = c.size.height(), r = 3;
    QColor fill = kSurfaceSunken, glyph = kIcon;
    switch (s) {
        case State::Normal:
            break;
        case State::Hover:
            fill = kAccentTint;
            glyph = kAccent;
            break;
        case State::Pressed:
            fill = kAccentTintStrong;
            glyph = kAccentPressed;
            break;
        case State::Disabled:
            fill = QColor(248, 249, 251);
            glyph = kIconDisabled;
            break;
    }
    p.save();
    if (!up) {  // the down arrow is the up arrow's face mirrored top to bottom
        p.translate(0, h);
        p.scale(1, -1);
    }
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath face;
    face.moveTo(0, h);
    face.lineTo(0, 0);
    face.lineTo(w - r, 0);
    face.arcTo(QRectF(w - 2 * r, 0, 2 * r, 2 * r), 90, -90);
    face.lineTo(w, h);
    face.closeSubpath();
    p.fillPath(face, fill);
    p.fillRect(QRectF(0, 0, 1, h), kDivider);
    if (up) {
        p.fillRect(QRectF(1, h - 1, w - 2, 1), kDivider);
    }
    QPainterPath outline;
    outline.moveTo(0, 0.5);
    outline.lineTo(w - r, 0.5);
    outline.arcTo(QRectF(w - 2 * r + 0.5, 0.5, 2 * r - 1, 2 * r - 1), 90, -90);
    outline.lineTo(w - 0.5, h);
    p.strokePath(outline, QPen(kBorder, 1));
    p.restore();
    Chevron(p, QPointF(w / 2.0, up ? 4.75 : 4.25), 2.75, 2.75, up, glyph, 1.3);
}

// ---- Plain surfaces --------------------------------------------------------------------------

void Fill(Canvas& c, const QColor& colour) {
    c.painter.fillRect(Whole(c), colour);
}

void VerticalGradient(Canvas& c, const QColor& top, const QColor& bottom) {
    QLinearGradient g(0, 0, 0, c.size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    c.painter.fillRect(Whole(c), g);
}

void SectionIcon(Canvas& c, const QString& icon) {
    c.icons.Draw(c.painter, icon, Whole(c).adjusted(1, 1, -1, -1), kSection);
}

// ---- The catalogue ---------------------------------------------------------------------------

std::vector<SkinImage> Build() {
    std::vector<SkinImage> all;
    auto add = [&all](const char* name, int w, int h, const char* shows, const char* usedBy,
                      std::function<void(Canvas&)> paint) {
        all.push_back({QString::fromUtf8(name), QSize(w, h), QString::fromUtf8(shows),
                       QString::fromUtf8(usedBy), std::move(paint)});
    };
    const char* kStates[4] = {"normal", "hover", "pressed", "disabled"};
    const State kAll[4] = {State::Normal, State::Hover, State::Pressed, State::Disabled};

    // Window frames and surfaces.
    add("bg_toolbar.png", 96, 85,
        "dialog frame: blue title band (rows 0-35), 1-px outline on columns 0 and 85 and row 84, "
        "transparent inside",
        "DialogStyle frame image of the message box, about and export dialogs", PaintDialogFrame);
    add("DlgBackgorund.png", 148, 85,
        "main window frame: 3-row accent stripe over an 8-row top band (A, B, C), 1-px outline",
        "DialogStyle frame image of the main window", PaintMainFrame);
    add("bg_calendar.png", 16, 64, "white surface fading to a cool off-white (drawn scaled)",
        "DialogStyle background image of every window; data output sheet's scroll area",
        [](Canvas& c) { VerticalGradient(c, kSurface, QColor(248, 250, 253)); });
    add("bgColorWhite.png", 16, 16, "plain white surface",
        "scroll area background of the wall page", [](Canvas& c) { Fill(c, kSurface); });
    add("bgWhite.png", 16, 48, "white strip with a divider on its top row (drawn scaled)",
        "parameter panel background strip below the step headers", [](Canvas& c) {
            Fill(c, kSurface);
            c.painter.fillRect(QRect(0, 0, c.size.width(), 1), kDivider);
        });
    add("bgBlue.png", 16, 40, "accent title bar, lighter at the top (drawn scaled)",
        "data output page title bar (\"Specifications\", white text)",
        [](Canvas& c) { VerticalGradient(c, kAccentHover, kAccent); });
    add("bg_lineBg.png", 16, 1, "1-px divider line (drawn scaled)",
        "data output page: the five separator lines", [](Canvas& c) { Fill(c, kDivider); });
    add("ListCtrlnew.png", 16, 30,
        "list header section: sunken surface with a bottom divider (drawn scaled)",
        "model selection list (ListCtrlStyle image)", [](Canvas& c) {
            Fill(c, kSurfaceSunken);
            c.painter.fillRect(QRect(0, c.size.height() - 1, c.size.width(), 1), kBorder);
        });
    add("screenBg.png", 128, 64, "back wall texture: light plaster with faint board joints (tiles)",
        "wall preview back wall (SetBackground)", PaintBackWall);
    add("image1.png", 1920, 1080, "default content 1: a city skyline at dusk",
        "wall preview screen image, content \"Default Image 1\"", PaintCitySkyline);
    add("image2.png", 1920, 1080, "default content 2: layered hills in a gradient dawn",
        "wall preview screen image, content \"Default Image 2\"", PaintGradientLandscape);
    add("NoVideo.png", 320, 180, "dark slate card with a play symbol",
        "content playback window (ImageVideoWindowStyle image)", PaintNoVideo);
    add("logo.png", 32, 32, "program logo (icons/logo.svg): a 2 x 2 video wall on an accent tile",
        "main window icon; tool bar logo picture",
        [](Canvas& c) { c.icons.Draw(c.painter, QStringLiteral("logo"), Whole(c), Qt::white); });
    add("AboutPic.png", 300, 90, "about banner: logo and a stylised wall of panels",
        "about dialog picture", PaintAboutBanner);
    add("box_model_bg.png", 199, 119, "a display panel on a light card",
        "model selection dialog model picture", PaintModelPicture);

    // Message box, about and export dialogs.
    for (int i = 0; i < 4; ++i) {
        const State s = kAll[i];
        const std::string n = std::string("btn_01_") + "nhpd"[i] + ".png";
        add(n.c_str(), 80, 28, (std::string("light button face, ") + kStates[i]).c_str(),
            "message box OK (1); export dialog \"Brown\" (303) and \"OK\" (302)",
            [s](Canvas& c) { SoftButton(c, s); });
    }
    {
        const char* names[4] = {"close-normal.png", "close-hover.png", "close-pressed.png",
                                "close-disabled.png"};
        for (int i = 0; i < 4; ++i) {
            const State s = kAll[i];
            add(names[i], 24, 24,
                (std::string("white close cross on the title band, ") + kStates[i]).c_str(),
                "message box close button (102)", [s](Canvas& c) { CaptionClose(c, s); });
        }
        const char* closed[3] = {"closed_nor.png", "closed_hov.png", "closed_pre.png"};
        for (int i = 0; i < 3; ++i) {
            const State s = kAll[i];
            add(closed[i], 24, 24,
                (std::string("white close cross on the title band, ") + kStates[i]).c_str(),
                "about and export dialogs' close button (102)",
                [s](Canvas& c) { CaptionClose(c, s); });
        }
    }

    // Parameter panel.
    for (int step = 1; step <= 4; ++step) {
        for (int open = 1; open >= 0; --open) {
            const std::string n =
                "common_step" + std::to_string(step) + (open ? "_h.png" : "_n.png");
            const std::string shows =
                std::string("step header ") + std::to_string(step) +
                (open ? ": filled accent badge, tinted card, underline" : ": outlined grey badge");
            add(n.c_str(), 180, 69, shows.c_str(),
                "parameter panel step header radio (200-203); caption from x 46",
                [step, open](Canvas& c) { StepHeader(c, step, open != 0); });
        }
    }
    add("common_check_m.png", 65, 27, "left half of a two-way switch, selected",
        "\"Meters\" (204) and \"Landscape\" (210) radios, selected",
        [](Canvas& c) { Segment(c, true, true); });
    add("common_uncheck_m.png", 65, 27, "left half of a two-way switch, not selected",
        "\"Meters\" (204) and \"Landscape\" (210) radios",
        [](Canvas& c) { Segment(c, true, false); });
    add("common_check_ft.png", 65, 27, "right half of a two-way switch, selected",
        "\"Feet\" (205) and \"Portrait\" (211) radios, selected",
        [](Canvas& c) { Segment(c, false, true); });
    add("common_uncheck_ft.png", 65, 27, "right half of a two-way switch, not selected",
        "\"Feet\" (205) and \"Portrait\" (211) radios",
        [](Canvas& c) { Segment(c, false, false); });
    add("kuang2_nor.png", 100, 18, "spinner field: white box with a 1-px rounded outline",
        "ImageNumSpinerStyle frame of the wall, lampstand, column and row spinners", SpinnerFrame);
    for (int up = 1; up >= 0; --up) {
        for (int i = 0; i < 4; ++i) {
            const State s = kAll[i];
            const std::string n =
                std::string(up ? "spiner_up_" : "spiner_down_") + "nhpd"[i] + ".png";
            const std::string shows =
                std::string(up ? "up" : "down") + " arrow of a spinner, " + kStates[i];
            add(n.c_str(), 16, 9, shows.c_str(), "ImageNumSpinerStyle arrows of every spinner",
                [s, up](Canvas& c) { SpinnerArrow(c, up != 0, s); });
        }
    }
    add("ComboBox_134.png", 134, 71,
        "combo box strip: normal (row 0), hover (18), open (36), disabled (54), 134 x 17 each",
        "ImageComboBoxStyle of the content combo box (215)", ComboStrip);
    add("common_FIT TO ROOM_n.png", 119, 27, "accent button with the fit icon, normal",
        "\"  Fit To Room\" (208), white caption",
        [](Canvas& c) { PrimaryButton(c, State::Normal, QStringLiteral("fit")); });
    add("common_FIT TO ROOM_h.png", 119, 27, "accent button with the fit icon, hover",
        "\"  Fit To Room\" (208)",
        [](Canvas& c) { PrimaryButton(c, State::Hover, QStringLiteral("fit")); });
    add("common_Select Model_n.png", 100, 27, "white button with an accent outline",
        "\"Select Model\" (209), accent caption",
        [](Canvas& c) { OutlineButton(c, State::Normal); });
    add("common_Select Model_h.png", 100, 27, "tinted button with an accent outline, hover",
        "\"Select Model\" (209)", [](Canvas& c) { OutlineButton(c, State::Hover); });

    // Wall preview buttons.
    const struct {
        const char* base;
        const char* icon;
        const char* role;
    } preview[4] = {{"body_add", "add", "one more column (0) and one more row (2)"},
                    {"body_less", "less", "one less column (1) and one less row (3)"},
                    {"body_rotating", "rotate", "rotate (4)"},
                    {"body_choose", "choose", "change model (5)"}};
    for (const auto& b : preview) {
        for (int hover = 0; hover <= 1; ++hover) {
            const std::string n = std::string(b.base) + (hover ? "_h.png" : "_n.png");
            const std::string shows = std::string("round button with the ") + b.icon +
                                      (hover ? " icon, hover (white on accent)" : " icon");
            const QString icon = QString::fromUtf8(b.icon);
            add(n.c_str(), 28, 28, shows.c_str(),
                (std::string("wall preview button ") + b.role).c_str(), [icon, hover](Canvas& c) {
                    CircleButton(c, icon, hover ? State::Hover : State::Normal);
                });
        }
    }
    add("body_choose.png", 28, 28, "round button with the choose icon, disabled",
        "wall preview change model (5), disabled image",
        [](Canvas& c) { CircleButton(c, QStringLiteral("choose"), State::Disabled); });

    // Model selection dialog.
    add("box_choose_bg_n.png", 139, 27, "accent button, normal",
        "model selection \"Choose this model\" (302), white caption",
        [](Canvas& c) { PrimaryButton(c, State::Normal, QString()); });
    add("box_choose_bg_h.png", 139, 27, "accent button, hover",
        "model selection \"Choose this model\" (302)",
        [](Canvas& c) { PrimaryButton(c, State::Hover, QString()); });
    add("box_choose_bg_nmage1.png", 139, 27, "accent button, pressed",
        "model selection \"Choose this model\" (302)",
        [](Canvas& c) { PrimaryButton(c, State::Pressed, QString()); });
    {
        const char* names[3] = {"btn_ok_nor.png", "btn_ok_hov.png", "btn_ok_pre.png"};
        for (int i = 0; i < 3; ++i) {
            const State s = kAll[i];
            add(names[i], 139, 27, (std::string("light button face, ") + kStates[i]).c_str(),
                "model selection \"Cancel\" (301, never shown)",
                [s](Canvas& c) { SoftButton(c, s); });
        }
    }

    // Tool bar.
    add("common_close_n.png", 15, 15, "grey close cross",
        "tool bar close (102); model selection close (102), 15 x 15",
        [](Canvas& c) { ToolIcon(c, QStringLiteral("close"), State::Normal, true); });
    add("common_close_h.png", 15, 15, "white close cross on red, hover",
        "tool bar close (102); model selection close (102)",
        [](Canvas& c) { ToolIcon(c, QStringLiteral("close"), State::Hover, true); });
    add("common_min_n.png", 15, 15, "grey minimise bar", "tool bar minimise (103)",
        [](Canvas& c) { ToolIcon(c, QStringLiteral("minimise"), State::Normal); });
    add("common_min_h.png", 15, 15, "accent minimise bar on a tint, hover",
        "tool bar minimise (103)",
        [](Canvas& c) { ToolIcon(c, QStringLiteral("minimise"), State::Hover); });
    {
        const struct {
            const char* name;
            const char* icon;
            int state;
            const char* use;
        } tools[] = {
            {"btn_maximize_n.png", "maximise", 0, "tool bar maximise (104)"},
            {"btn_maximize_h.png", "maximise", 1, "tool bar maximise (104)"},
            {"btn_maximize_p.png", "maximise", 2, "tool bar maximise (104)"},
            {"doubt_nor.png", "help", 0, "tool bar help (100)"},
            {"doubt_hov.png", "help", 1, "tool bar help (100)"},
            {"doubt_pre.png", "help", 2, "tool bar help (100)"},
            {"export_nor.png", "export", 0, "tool bar save (106)"},
            {"export_hov.png", "export", 1, "tool bar save (106)"},
            {"export_pre.png", "export", 2, "tool bar save (106)"},
            {"down_n.png", "settings", 0, "tool bar \"Setting\" (105), opens the menu"},
            {"down_h.png", "settings", 1, "tool bar \"Setting\" (105)"},
        };
        for (const auto& t : tools) {
            const QString icon = QString::fromUtf8(t.icon);
            const State s = kAll[t.state];
            add(t.name, 16, 16, (std::string(t.icon) + " line icon, " + kStates[t.state]).c_str(),
                t.use, [icon, s](Canvas& c) { ToolIcon(c, icon, s); });
        }
    }
    add("exchangea_nor.png", 28, 16, "globe with \"A\": English shown",
        "tool bar language switch (107)",
        [](Canvas& c) { LanguageFace(c, QStringLiteral("A"), QStringLiteral("DejaVu Sans")); });
    add("exchangezhong_nor.png", 28, 16, "globe with \"中\": Chinese shown",
        "tool bar language switch (107)", [](Canvas& c) {
            LanguageFace(c, QString::fromUtf8("\xe4\xb8\xad"),
                         QStringLiteral("WenQuanYi Micro Hei"));
        });
    add("tab_BluePrint_n.png", 120, 36, "tab with the blueprint icon, normal",
        "tool bar tab \"BluePrint\" (110); caption from x 32",
        [](Canvas& c) { Tab(c, QStringLiteral("blueprint"), false); });
    add("tab_BluePrint_h.png", 120, 36, "tab with the blueprint icon, selected or hover",
        "tool bar tab \"BluePrint\" (110)",
        [](Canvas& c) { Tab(c, QStringLiteral("blueprint"), true); });
    add("tab_Dataoutput_n.png", 120, 36, "tab with the document icon, normal",
        "tool bar tab \"Data output\" (111); caption from x 32",
        [](Canvas& c) { Tab(c, QStringLiteral("document"), false); });
    add("tab_Dataoutput_h.png", 120, 36, "tab with the document icon, selected or hover",
        "tool bar tab \"Data output\" (111)",
        [](Canvas& c) { Tab(c, QStringLiteral("document"), true); });

    // Data output page.
    add("common_excel_n.png", 150, 28, "light button with a green sheet icon",
        "\"    Export To Excel\" (208)", [](Canvas& c) { ExcelButton(c, State::Normal); });
    add("common_excel_h.png", 150, 28, "tinted button with a green sheet icon, hover/pressed",
        "\"    Export To Excel\" (208)", [](Canvas& c) { ExcelButton(c, State::Hover); });
    const struct {
        const char* name;
        const char* icon;
        const char* shows;
    } sections[] = {
        {"body_DISPLAY REQUIREMENTS.png", "display", "display icon"},
        {"body_DISPLAY WALL DIMENSIONS.png", "dimensions", "ruler icon"},
        {"body_POWER REQUIREMENTS.png", "power", "lightning icon"},
        {"body_dizuo-muxiang.png", "crate", "wooden crate icon (lampstand box)"},
        {"body_jianshu.png", "structure", "box icon (structure box)"},
        {"body_tuopan.png", "tray", "tray icon (panel tray)"},
    };
    for (const auto& s : sections) {
        const QString icon = QString::fromUtf8(s.icon);
        add(s.name, 24, 24, (std::string("orange ") + s.shows).c_str(),
            "data output page section icon", [icon](Canvas& c) { SectionIcon(c, icon); });
    }
    return all;
}

}  // namespace

const std::vector<SkinImage>& Catalogue() {
    static const std::vector<SkinImage> all = Build();
    return all;
}

}  // namespace skingen
