// The pictures of the skin that are more than a control face: the two default wall contents,
// the back wall texture and the small illustrations. Everything is drawn from a fixed-seed
// generator of our own (the standard distributions differ between libraries), so every build
// produces the same pixels from the same fonts.
#include "tools/skingen/Skin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

namespace skingen {
namespace {

class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed ? seed : 1u) {}
    std::uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 4294967296.0); }
    bool Chance(double p) { return Uniform(0, 1) < p; }

private:
    std::uint32_t m_state;
};

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(
        a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
        a.blueF() + (b.blueF() - a.blueF()) * t, a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

void Glow(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    QRadialGradient g(centre, radius);
    g.setColorAt(0, colour);
    QColor edge = colour;
    edge.setAlpha(0);
    g.setColorAt(1, edge);
    p.fillRect(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), g);
}

// One row of buildings standing on `ground`. Lit windows are drawn on layers with a window size.
void Buildings(QPainter& p, Random& rnd, double width, double ground, double minH, double maxH,
               double minW, double maxW, const QColor& body, QSizeF window, double litShare) {
    double x = -rnd.Uniform(0, maxW);
    while (x < width) {
        const double w = rnd.Uniform(minW, maxW);
        const double h = rnd.Uniform(minH, maxH) * (rnd.Chance(0.12) ? 1.35 : 1.0);
        const QRectF r(x, ground - h, w, h + 2);
        QLinearGradient shade(r.topLeft(), r.topRight());
        shade.setColorAt(0, body.lighter(112));
        shade.setColorAt(1, body);
        p.fillRect(r, shade);
        const double roof = rnd.Uniform(0, 1);
        if (roof < 0.25) {  // stepped crown
            p.fillRect(QRectF(x + w * 0.2, r.top() - h * 0.06, w * 0.6, h * 0.06 + 1), body);
        } else if (roof < 0.4) {  // mast with a warning light
            const double mx = x + w * rnd.Uniform(0.3, 0.7);
            const double mh = h * rnd.Uniform(0.12, 0.25);
            p.fillRect(QRectF(mx - 1.5, r.top() - mh, 3, mh), body);
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            Glow(p, QPointF(mx, r.top() - mh), 9, QColor(255, 70, 70, 200));
            p.restore();
        } else if (roof < 0.5) {  // slanted top
            QPainterPath slant;
            slant.moveTo(x, r.top());
            slant.lineTo(x + w, r.top());
            slant.lineTo(x + w, r.top() - h * 0.1);
            slant.closeSubpath();
            p.fillPath(slant, body);
        }
        if (window.width() > 0) {
            const double gapX = window.width() * 0.9, gapY = window.height() * 0.8;
            for (double wy = r.top() + gapY * 1.5; wy + window.height() < ground - 6;
                 wy += window.height() + gapY) {
                for (double wx = x + gapX; wx + window.width() < x + w - gapX * 0.5;
                     wx += window.width() + gapX) {
                    if (!rnd.Chance(litShare)) {
                        continue;
                    }
                    const bool cool = rnd.Chance(0.18);
                    QColor lit = cool ? QColor(170, 220, 255) : QColor(255, 214, 140);
                    lit.setAlpha(static_cast<int>(rnd.Uniform(120, 235)));
                    p.fillRect(QRectF(wx, wy, window.width(), window.height()), lit);
                }
            }
        }
        x += w + rnd.Uniform(-minW * 0.3, minW * 0.5);
    }
}

void CityLayers(QPainter& p, double width, double ground) {
    Random rnd(20261206u);
    Buildings(p, rnd, width, ground, 90, 270, 50, 120, QColor(88, 66, 124), QSizeF(0, 0), 0);
    Buildings(p, rnd, width, ground, 140, 420, 60, 140, QColor(48, 38, 86), QSizeF(4, 6), 0.22);
    Buildings(p, rnd, width, ground, 170, 600, 70, 170, QColor(20, 17, 40), QSizeF(6, 9), 0.32);
}

}  // namespace

void PaintCitySkyline(Canvas& c) {
    QPainter& p = c.painter;
    const double w = c.size.width(), h = c.size.height();
    const double ground = h * 0.78;
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, ground);
    sky.setColorAt(0.0, QColor(10, 14, 48));
    sky.setColorAt(0.35, QColor(42, 34, 98));
    sky.setColorAt(0.62, QColor(122, 60, 122));
    sky.setColorAt(0.82, QColor(226, 104, 108));
    sky.setColorAt(1.0, QColor(255, 170, 112));
    p.fillRect(QRectF(0, 0, w, ground), sky);

    Random stars(7u);
    for (int i = 0; i < 260; ++i) {
        const QPointF at(stars.Uniform(0, w), stars.Uniform(0, ground * 0.5));
        const double fade = 1.0 - at.y() / (ground * 0.5);
        const double r = stars.Uniform(0.6, 1.7);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, static_cast<int>(stars.Uniform(60, 220) * fade)));
        p.drawEllipse(at, r, r);
    }

    const QPointF sun(w * 0.64, ground - h * 0.05);
    Glow(p, sun, h * 0.55, QColor(255, 176, 120, 150));
    Glow(p, sun, h * 0.16, QColor(255, 214, 160, 200));
    p.setBrush(QColor(255, 226, 178));
    p.drawEllipse(sun, h * 0.065, h * 0.065);

    Random clouds(99u);
    for (int i = 0; i < 9; ++i) {
        const double cy = clouds.Uniform(ground * 0.45, ground * 0.8);
        const double cx = clouds.Uniform(-100, w);
        const double cw = clouds.Uniform(260, 620);
        QColor tone = Mix(QColor(255, 150, 160), QColor(120, 70, 140), (ground - cy) / ground * 2);
        tone.setAlpha(static_cast<int>(clouds.Uniform(40, 90)));
        p.setBrush(tone);
        p.drawEllipse(QRectF(cx, cy, cw, clouds.Uniform(10, 22)));
    }

    // Water under the city, then the city, then its reflection in the water.
    QLinearGradient water(0, ground, 0, h);
    water.setColorAt(0, QColor(60, 36, 88));
    water.setColorAt(1, QColor(8, 8, 24));
    p.fillRect(QRectF(0, ground, w, h - ground), water);
    Glow(p, QPointF(sun.x(), ground + 20), h * 0.3, QColor(255, 160, 110, 90));

    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    CityLayers(p, w, ground);
    p.restore();

    p.save();
    p.setClipRect(QRectF(0, ground, w, h - ground));
    // The reflection is squashed and faint, as on slightly rippled water.
    p.setOpacity(0.16);
    p.translate(0, ground);
    p.scale(1, -0.45);
    p.translate(0, -ground);
    CityLayers(p, w, ground);
    p.restore();

    Random ripples(314u);
    for (int i = 0; i < 420; ++i) {
        const double y = ripples.Uniform(ground + 4, h);
        const double spread = (y - ground) * 1.2 + 40;
        const double x = sun.x() + ripples.Uniform(-spread, spread);
        const double len = ripples.Uniform(10, 60) * (1.0 - (y - ground) / (h - ground) * 0.5);
        const double fade = 1.0 - std::abs(x - sun.x()) / (spread + 1);
        p.fillRect(QRectF(x, y, len, 1.5),
                   QColor(255, 200, 150, static_cast<int>(ripples.Uniform(30, 120) * fade)));
    }
    QLinearGradient haze(0, ground - 40, 0, ground + 10);
    haze.setColorAt(0, QColor(255, 150, 120, 0));
    haze.setColorAt(0.8, QColor(255, 150, 120, 60));
    haze.setColorAt(1, QColor(255, 150, 120, 0));
    p.fillRect(QRectF(0, ground - 40, w, 50), haze);
}

void PaintGradientLandscape(Canvas& c) {
    QPainter& p = c.painter;
    const double w = c.size.width(), h = c.size.height();
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h * 0.75);
    sky.setColorAt(0.0, QColor(28, 58, 118));
    sky.setColorAt(0.38, QColor(98, 84, 160));
    sky.setColorAt(0.7, QColor(236, 138, 150));
    sky.setColorAt(1.0, QColor(255, 214, 168));
    p.fillRect(QRectF(0, 0, w, h), sky);

    const QPointF sun(w * 0.33, h * 0.47);
    Glow(p, sun, h * 0.6, QColor(255, 210, 170, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 214));
    p.drawEllipse(sun, h * 0.1, h * 0.1);

    // Far to near: each ridge is a sum of sines, coloured from hazy rose to deep night blue.
    const QColor farTone(232, 160, 170), nearTone(22, 26, 70);
    const int layers = 7;
    Random rnd(1920u);
    for (int i = 0; i < layers; ++i) {
        const double t = static_cast<double>(i) / (layers - 1);
        const double base = h * (0.5 + 0.075 * i);
        const double a1 = rnd.Uniform(30, 70) * (1 - 0.4 * t), f1 = rnd.Uniform(1.2, 2.2);
        const double a2 = rnd.Uniform(12, 30), f2 = rnd.Uniform(3.5, 6.0);
        const double a3 = rnd.Uniform(3, 8), f3 = rnd.Uniform(11, 17);
        const double ph1 = rnd.Uniform(0, 6.28), ph2 = rnd.Uniform(0, 6.28),
                     ph3 = rnd.Uniform(0, 6.28);
        QPainterPath ridge;
        ridge.moveTo(0, h);
        for (int x = 0; x <= static_cast<int>(w); x += 8) {
            const double u = x / w * 6.28318;
            const double y = base - a1 * std::sin(u * f1 / 2 + ph1) -
                             a2 * std::sin(u * f2 / 2 + ph2) - a3 * std::sin(u * f3 / 2 + ph3);
            ridge.lineTo(x, y);
        }
        ridge.lineTo(w, h);
        ridge.closeSubpath();
        // Mist lying in the valley behind this ridge: fades in and out, the ridge covers its foot.
        const double mistTop = base - a1 - a2 - h * 0.08;
        const double mistBottom = base + a1 * 0.5;
        QLinearGradient mist(0, mistTop, 0, mistBottom);
        mist.setColorAt(0, QColor(255, 225, 220, 0));
        mist.setColorAt(0.7, QColor(255, 225, 220, static_cast<int>(60 * (1 - t * 0.7))));
        mist.setColorAt(1, QColor(255, 225, 220, 0));
        p.fillRect(QRectF(0, mistTop, w, mistBottom - mistTop), mist);
        const QColor tone = Mix(farTone, nearTone, std::pow(t, 0.8));
        QLinearGradient fill(0, base - a1 - a2, 0, h);
        fill.setColorAt(0, tone);
        fill.setColorAt(1, tone.darker(135));
        p.fillPath(ridge, fill);
    }

    Random birds(5u);
    p.setPen(QPen(QColor(40, 30, 70, 160), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        const QPointF at(w * 0.55 + birds.Uniform(0, w * 0.2),
                         h * 0.2 + birds.Uniform(0, h * 0.12));
        const double s = birds.Uniform(8, 16);
        QPainterPath bird;
        bird.moveTo(at + QPointF(-s, -s * 0.3));
        bird.quadTo(at + QPointF(-s * 0.4, -s * 0.6), at);
        bird.quadTo(at + QPointF(s * 0.4, -s * 0.6), at + QPointF(s, -s * 0.3));
        p.drawPath(bird);
    }
}

void PaintBackWall(Canvas& c) {
    QPainter& p = c.painter;
    const int w = c.size.width(), h = c.size.height();
    Random rnd(42u);
    // Independent per-pixel grain tiles without seams; joints lie on the first row and column.
    // The grain is per device pixel, so the twin at ratio 2 is as fine as the plain image.
    p.save();
    p.scale(1.0 / c.ratio, 1.0 / c.ratio);
    for (int y = 0; y < h * c.ratio; ++y) {
        for (int x = 0; x < w * c.ratio; ++x) {
            const int grain = static_cast<int>(rnd.Uniform(-3.5, 3.5));
            const int v = 236 + grain;
            p.fillRect(QRect(x, y, 1, 1), QColor(v, v, v + 2));
        }
    }
    p.restore();
    p.fillRect(QRect(0, 0, w, 1), QColor(222, 223, 228));
    p.fillRect(QRect(0, 0, 1, h), QColor(222, 223, 228));
}

void PaintNoVideo(Canvas& c) {
    QPainter& p = c.painter;
    const QRectF r(QPointF(0, 0), QSizeF(c.size));
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(62, 70, 86));
    g.setColorAt(1, QColor(36, 40, 52));
    p.fillRect(r, g);
    const double side = c.size.height() * 0.32;
    c.icons.Draw(p, QStringLiteral("play"),
                 QRectF((r.width() - side) / 2, (r.height() - side) / 2, side, side),
                 QColor(150, 160, 180));
}

void PaintAboutBanner(Canvas& c) {
    QPainter& p = c.painter;
    const QRectF r(QPointF(0, 0), QSizeF(c.size));
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(70, 112, 236));
    g.setColorAt(0.6, QColor(110, 150, 255));
    g.setColorAt(1, QColor(160, 140, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, 6, 6);
    Glow(p, QPointF(r.width() * 0.8, 0), r.height(), QColor(255, 255, 255, 60));
    c.icons.Draw(p, QStringLiteral("logo"), QRectF(20, (r.height() - 50) / 2, 50, 50), Qt::white);
    // A small wall of panels showing a dusk gradient, with its joints.
    const QRectF wall(150, 18, 128, 54);
    QLinearGradient screen(wall.topLeft(), wall.bottomLeft());
    screen.setColorAt(0, QColor(42, 34, 98));
    screen.setColorAt(0.6, QColor(226, 104, 108));
    screen.setColorAt(1, QColor(255, 190, 120));
    p.fillRect(wall, screen);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    for (int i = 1; i < 4; ++i) {
        const double x = std::floor(wall.left() + i * wall.width() / 4) + 0.5;
        p.drawLine(QPointF(x, wall.top()), QPointF(x, wall.bottom()));
    }
    for (int j = 1; j < 3; ++j) {
        const double y = std::floor(wall.top() + j * wall.height() / 3) + 0.5;
        p.drawLine(QPointF(wall.left(), y), QPointF(wall.right(), y));
    }
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(wall);
}

void PaintModelPicture(Canvas& c) {
    QPainter& p = c.painter;
    const QRectF r(QPointF(0, 0), QSizeF(c.size));
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient card(r.topLeft(), r.bottomLeft());
    card.setColorAt(0, QColor(250, 251, 254));
    card.setColorAt(1, QColor(236, 240, 248));
    p.setPen(QPen(palette::kDivider, 1));
    p.setBrush(card);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);

    const QRectF bezel(26, 14, 147, 84);
    Glow(p, QPointF(r.center().x(), bezel.bottom() + 6), 70, QColor(30, 40, 80, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 32, 44));
    p.drawRoundedRect(bezel, 3, 3);
    const QRectF screen = bezel.adjusted(2.5, 2.5, -2.5, -2.5);
    QLinearGradient glass(screen.topLeft(), screen.bottomLeft());
    glass.setColorAt(0, QColor(28, 58, 118));
    glass.setColorAt(0.55, QColor(140, 100, 170));
    glass.setColorAt(1, QColor(255, 190, 150));
    p.fillRect(screen, glass);
    QPainterPath hills;
    hills.moveTo(screen.left(), screen.bottom());
    for (int i = 0; i <= 20; ++i) {
        const double x = screen.left() + screen.width() * i / 20.0;
        hills.lineTo(x, screen.bottom() - 18 - 8 * std::sin(i * 0.7) - 4 * std::sin(i * 1.9));
    }
    hills.lineTo(screen.right(), screen.bottom());
    hills.closeSubpath();
    p.fillPath(hills, QColor(40, 36, 90));
    QPainterPath shine;
    shine.moveTo(screen.topLeft());
    shine.lineTo(screen.left() + screen.width() * 0.45, screen.top());
    shine.lineTo(screen.left() + screen.width() * 0.2, screen.bottom());
    shine.lineTo(screen.left(), screen.bottom());
    shine.closeSubpath();
    p.fillPath(shine, QColor(255, 255, 255, 22));
    // Stand.
    p.setBrush(QColor(60, 66, 82));
    p.drawRect(QRectF(r.center().x() - 3, bezel.bottom(), 6, 8));
    p.drawRoundedRect(QRectF(r.center().x() - 24, bezel.bottom() + 8, 48, 3), 1.5, 1.5);
}

}  // namespace skingen
