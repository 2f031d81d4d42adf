// makeassets: paints GorseED's default working directory.
//
// Usage: makeassets [--sample-level] <outdir>
//
// Writes the grid background tiles, the tool cursors, the light marker and a
// starter set of textures for every layer. Every picture is drawn here with
// QPainter; the pseudo random generator is seeded from the file name, so each
// run produces the same bytes and regenerating only changes what the code
// changes. Only QImage/QPainter are used, so no display or fonts are needed.
// It also writes the sample level levels/sample.map (see samplelevel.cpp);
// with --sample-level it writes only that, from the textures already there.

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>
#include <tuple>
#include <vector>

#include "samplelevel.h"

namespace {

const QColor kInk(24, 22, 20); // outline colour of sprites, items and cursors
const double kPi = 3.14159265358979323846;

// Thin wrapper over std::mt19937: the engine's output sequence is fixed by the
// standard, and the conversions below are our own, so results do not depend
// on the library's distribution implementations.
class Rng
{
public:
    explicit Rng(quint32 seed) : m_engine(seed) { }
    double unit() { return m_engine() / 4294967296.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return int(unit() * n); }

private:
    std::mt19937 m_engine;
};

quint32 seedFor(const QString &name)
{
    quint32 h = 2166136261u; // FNV-1a
    for (const char c : name.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

const QRect kTile(0, 0, 64, 64); // textures and the light marker are 64 x 64

int clamp255(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Adds grey per-pixel noise to every non-transparent pixel.
void addNoise(QImage &img, Rng &rng, int amount)
{
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = line[x];
            const int d = rng.below(2 * amount + 1) - amount;
            if (qAlpha(px) == 0)
                continue;
            line[x] = qRgba(clamp255(qRed(px) + d), clamp255(qGreen(px) + d), clamp255(qBlue(px) + d), qAlpha(px));
        }
    }
}

// Shifts a colour's brightness by a random amount.
QColor vary(const QColor &c, Rng &rng, int amount)
{
    const int d = rng.below(2 * amount + 1) - amount;
    return QColor(clamp255(c.red() + d), clamp255(c.green() + d), clamp255(c.blue() + d), c.alpha());
}

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

// The nine offsets at which a detail must be drawn so a 64 px texture tiles seamlessly.
std::vector<QPointF> wrapOffsets()
{
    std::vector<QPointF> out;
    for (int dy = -64; dy <= 64; dy += 64)
        for (int dx = -64; dx <= 64; dx += 64)
            out.emplace_back(dx, dy);
    return out;
}

// Fills a rectangle with a light top/left and dark bottom/right edge.
void bevel(QPainter &p, const QRectF &r, const QColor &base, qreal w = 1.0, bool sunken = false)
{
    const QColor hi = sunken ? base.darker(150) : base.lighter(135);
    const QColor lo = sunken ? base.lighter(130) : base.darker(150);
    p.fillRect(r, base);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), w), hi);
    p.fillRect(QRectF(r.left(), r.top(), w, r.height()), hi);
    p.fillRect(QRectF(r.left(), r.bottom() - w, r.width(), w), lo);
    p.fillRect(QRectF(r.right() - w, r.top(), w, r.height()), lo);
}

void outline(QPainter &p, const QPainterPath &path, const QBrush &fill, qreal width = 1.5)
{
    p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

// Closed polygon through the given points.
QPainterPath poly(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath ellipse(const QPointF &c, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

QPainterPath rectPath(const QRectF &r, qreal radius = 0)
{
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(r, radius, radius);
    else
        path.addRect(r);
    return path;
}

// Unfilled path, e.g. a wire, fuse or crack.
void stroke(QPainter &p, const QPainterPath &path, const QPen &pen)
{
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// Two-colour radial gradient; placing the centre up and left of a shape's middle lights it
// from the top left like everything else.
QRadialGradient radial(const QPointF &centre, qreal radius, const QColor &inner, const QColor &outer)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    return g;
}

// Horizontal gradient giving a cylinder look to parts seen from the side.
QLinearGradient cylinder(qreal x0, qreal x1, const QColor &c)
{
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0, c.darker(170));
    g.setColorAt(0.3, c.lighter(140));
    g.setColorAt(0.6, c);
    g.setColorAt(1, c.darker(190));
    return g;
}

// Vertical gradient for parts lit from above.
QLinearGradient topLit(qreal y0, qreal y1, const QColor &c)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, c.lighter(150));
    g.setColorAt(0.45, c);
    g.setColorAt(1, c.darker(170));
    return g;
}

void rivet(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(QPen(QColor(30, 32, 36), 0.8));
    p.setBrush(radial(c - QPointF(r * 0.4, r * 0.4), r * 1.5, QColor(230, 232, 236), QColor(60, 64, 70)));
    p.drawEllipse(c, r, r);
}

// Soft contact shadow under sprites and items.
void shadow(QPainter &p, const QPointF &c, qreal rx, qreal ry)
{
    p.save();
    p.translate(c);
    p.scale(1, ry / rx);
    p.setPen(Qt::NoPen);
    p.setBrush(radial(QPointF(0, 0), rx, QColor(0, 0, 0, 120), QColor(0, 0, 0, 0)));
    p.drawEllipse(QPointF(0, 0), rx, rx);
    p.restore();
}

void glow(QPainter &p, const QPointF &c, qreal r, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(radial(c, r, colour, withAlpha(colour, 0)));
    p.drawEllipse(c, r, r);
}

// ---------------------------------------------------------------- editor assets

// One map cell of the editor background; tiled, the top and left lines form the grid.
void gridTile(QPainter &p, int n)
{
    p.fillRect(0, 0, n, n, QColor(0x1c, 0x1f, 0x24));
    p.fillRect(0, 0, n, 1, QColor(0x58, 0x5e, 0x68));
    p.fillRect(0, 0, 1, n, QColor(0x58, 0x5e, 0x68));
}

// Pencil cursor: the tip sits just left of and below the image centre (the hot spot).
void pencilCursor(QPainter &p)
{
    p.translate(14, 18);
    p.rotate(-45); // local +x runs from the tip up and to the right
    const qreal h = 3.6;
    outline(p, rectPath(QRectF(7, -h, 12, 2 * h)), topLit(-h, h, QColor(240, 190, 40)), 1.4);
    outline(p, rectPath(QRectF(19, -h, 2.5, 2 * h)), topLit(-h, h, QColor(180, 184, 190)), 1.4);
    outline(p, rectPath(QRectF(21.5, -h, 2.8, 2 * h), 1.2), topLit(-h, h, QColor(235, 130, 150)), 1.4);
    outline(p, poly({{0, 0}, {7, -h}, {7, h}}), QColor(238, 210, 160), 1.4); // sharpened wood
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(poly({{0, 0}, {2.6, -1.35}, {2.6, 1.35}})); // lead
    p.setPen(QPen(QColor(180, 130, 20), 0.8));
    p.drawLine(QPointF(7.5, 0), QPointF(18.5, 0));
}

// Paint bucket cursor: a tilted bucket pouring paint towards the image centre.
void bucketCursor(QPainter &p)
{
    p.save();
    p.translate(12, 13);
    p.rotate(40);
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-7, -14, 14, 14), 0, 180 * 16); // handle
    outline(p, poly({{-8, -6}, {8, -6}, {6, 9}, {-6, 9}}), cylinder(-8, 8, QColor(160, 170, 182)), 1.4);
    outline(p, ellipse(QPointF(0, -6), 8, 2.6), QColor(40, 120, 230), 1.2); // paint inside
    p.restore();
    // Paint running from the lip into a drop.
    QPainterPath paint;
    paint.moveTo(19, 10);
    paint.cubicTo(24, 9, 25, 13, 24, 17);
    paint.cubicTo(26, 20, 24, 24, 21.5, 24);
    paint.cubicTo(19, 24, 18, 21, 20, 18);
    paint.cubicTo(21, 15, 18, 13, 19, 10);
    outline(p, paint, QColor(60, 140, 245), 1.3);
}

// Light marker, tinted by the editor according to the light's level.
void lampMarker(QPainter &p)
{
    p.setPen(QPen(QColor(255, 225, 110), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 7; ++i) {
        const double a = kPi * (1.0 + i / 6.0);
        p.drawLine(QPointF(32 + 22 * std::cos(a), 25 + 22 * std::sin(a)),
                   QPointF(32 + 29 * std::cos(a), 25 + 29 * std::sin(a)));
    }
    QPainterPath glass;
    glass.moveTo(25, 41);
    glass.cubicTo(22, 35, 15, 32, 15, 24);
    glass.cubicTo(15, 14, 23, 7, 32, 7);
    glass.cubicTo(41, 7, 49, 14, 49, 24);
    glass.cubicTo(49, 32, 42, 35, 39, 41);
    glass.closeSubpath();
    QRadialGradient g = radial(QPointF(28, 20), 26, Qt::white, QColor(245, 200, 80));
    g.setColorAt(0.5, QColor(255, 246, 190));
    outline(p, glass, g, 2.2);
    p.setPen(QPen(QColor(200, 90, 20), 1.6));
    p.drawPolyline(QPolygonF({QPointF(28, 40), QPointF(28, 27), QPointF(30, 23), QPointF(32, 27), QPointF(34, 23),
                              QPointF(36, 27), QPointF(36, 40)})); // filament
    outline(p, rectPath(QRectF(24, 41, 16, 12), 2), cylinder(24, 40, QColor(170, 172, 178)), 2);
    p.setPen(QPen(QColor(60, 60, 64), 1.4));
    for (int y = 45; y <= 50; y += 3)
        p.drawLine(QPointF(25, y), QPointF(39, y + 1));
    outline(p, poly({{27, 53}, {37, 53}, {34, 58}, {30, 58}}), QColor(60, 60, 66), 2);
}

// ---------------------------------------------------------------- walls

void brickWall(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(150, 142, 130)); // mortar
    for (int row = 0; row < 8; ++row) {
        const int shift = (row % 2) ? 8 : 0;
        for (int i = 0; i < 4; ++i) {
            const QColor c = vary(QColor(150, 62, 42), rng, 16);
            const int x = shift + 16 * i;
            bevel(p, QRectF(x, row * 8, 15, 7), c);
            bevel(p, QRectF(x - 64, row * 8, 15, 7), c); // wrapped half brick
        }
    }
}

// Splits 64 px into random lengths between lo and hi; a remainder shorter than lo is
// added to the last length, so that one may exceed hi.
std::vector<int> randomSpans(Rng &rng, int lo, int hi)
{
    std::vector<int> spans;
    int left = 64;
    while (left > hi) {
        spans.push_back(lo + rng.below(hi - lo + 1));
        left -= spans.back();
    }
    if (left < lo && !spans.empty())
        spans.back() += left;
    else
        spans.push_back(left);
    return spans;
}

void stoneWall(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(56, 53, 50));
    const int heights[] = {14, 18, 16, 16};
    int y = 0;
    for (const int h : heights) {
        int x = rng.below(16);
        for (const int w : randomSpans(rng, 12, 24)) {
            const QColor c = vary(QColor(128, 124, 116), rng, 18);
            for (const int dx : {0, -64}) {
                const QRectF r(x + dx + 1, y + 1, w - 2, h - 2);
                QLinearGradient g(r.topLeft(), r.bottomRight());
                g.setStops({{0, c.lighter(125)}, {1, c.darker(140)}});
                p.setPen(Qt::NoPen);
                p.setBrush(g);
                p.drawRoundedRect(r, 3, 3);
            }
            x += w;
        }
        y += h;
    }
}

// Wavy grain line along a board; period divides 64 so the texture tiles.
void grain(QPainter &p, Rng &rng, const QRectF &board, bool vertical, const QColor &c)
{
    const qreal along = vertical ? board.height() : board.width();
    const qreal across = vertical ? board.width() : board.height();
    const qreal pos = rng.range(1, across - 1);
    const qreal amp = rng.range(0.3, 1.4);
    const qreal phase = rng.range(0, 2 * kPi);
    const int k = 1 + rng.below(2);
    QPainterPath path;
    for (int t = 0; t <= along; t += 2) {
        const qreal off = pos + amp * std::sin(2 * kPi * k * t / 64.0 + phase);
        const QPointF pt
            = vertical ? QPointF(board.left() + off, board.top() + t) : QPointF(board.left() + t, board.top() + off);
        if (t == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.setPen(QPen(withAlpha(c.darker(135), 170), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void woodWall(QPainter &p, Rng &rng)
{
    for (int i = 0; i < 4; ++i) {
        const QRectF board(i * 16, 0, 16, 64);
        const QColor c = vary(QColor(128, 84, 46), rng, 14);
        p.fillRect(board, c);
        for (int g = 0; g < 6; ++g)
            grain(p, rng, board, true, c);
        if (rng.unit() < 0.6) {
            const QPointF knot(board.left() + rng.range(5, 11), rng.range(8, 56));
            p.setPen(QPen(c.darker(160), 1));
            p.setBrush(c.darker(130));
            p.drawEllipse(knot, 2.2, 3.5);
        }
        p.fillRect(QRectF(board.left(), 0, 1, 64), QColor(48, 30, 16));
        p.fillRect(QRectF(board.left() + 1, 0, 1, 64), c.lighter(120));
        rivet(p, QPointF(board.left() + 8, 5), 1.3);
        rivet(p, QPointF(board.left() + 8, 37), 1.3);
    }
}

void metalWall(QPainter &p, Rng &rng)
{
    for (int y = 0; y < 64; ++y) // brushed finish: one shade per row
        p.fillRect(0, y, 64, 1, vary(QColor(118, 126, 134), rng, 5));
    QLinearGradient sheen(0, 0, 64, 64);
    sheen.setStops({{0, QColor(255, 255, 255, 40)}, {0.5, QColor(255, 255, 255, 0)}, {1, QColor(0, 0, 0, 50)}});
    p.fillRect(kTile, sheen);
    for (int py = 0; py < 64; py += 32) {
        for (int px = 0; px < 64; px += 32) {
            p.fillRect(QRectF(px, py, 32, 1.5), QColor(190, 196, 204));
            p.fillRect(QRectF(px, py, 1.5, 32), QColor(170, 176, 184));
            p.fillRect(QRectF(px, py + 30.5, 32, 1.5), QColor(50, 54, 60));
            p.fillRect(QRectF(px + 30.5, py, 1.5, 32), QColor(60, 64, 70));
            for (const QPointF &r : {QPointF(5, 5), QPointF(27, 5), QPointF(5, 27), QPointF(27, 27)})
                rivet(p, QPointF(px, py) + r, 2);
        }
    }
}

// ---------------------------------------------------------------- floors

void tileFloor(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(86, 84, 80)); // grout
    for (int ty = 0; ty < 4; ++ty)
        for (int tx = 0; tx < 4; ++tx) {
            const QColor base = (tx + ty) % 2 ? QColor(204, 198, 184) : QColor(170, 160, 140);
            bevel(p, QRectF(tx * 16 + 1, ty * 16 + 1, 15, 15), vary(base, rng, 6));
        }
}

void stoneFloor(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(50, 46, 42));
    for (int cy = 0; cy < 4; ++cy)
        for (int cx = 0; cx < 4; ++cx) {
            const QRectF r(cx * 16 + rng.range(0.8, 2), cy * 16 + rng.range(0.8, 2), 16 - rng.range(2.5, 4),
                           16 - rng.range(2.5, 4));
            const QColor c = vary(QColor(132, 122, 108), rng, 20);
            p.setPen(QPen(c.darker(180), 0.8));
            p.setBrush(radial(r.topLeft() + QPointF(4, 4), 16, c.lighter(130), c.darker(145)));
            const qreal radius = rng.range(3.5, 6);
            p.drawRoundedRect(r, radius, radius);
        }
}

void woodFloor(QPainter &p, Rng &rng)
{
    for (int row = 0; row < 8; ++row) {
        const int joint = rng.below(32);
        for (int b = 0; b < 2; ++b) {
            const QColor c = vary(QColor(158, 106, 60), rng, 16);
            const std::vector<QRectF> parts
                = {QRectF(joint + 32 * b, row * 8, 32, 8), QRectF(joint + 32 * b - 64, row * 8, 32, 8)};
            const quint32 grainSeed = quint32(rng.unit() * 4294967295.0);
            for (const QRectF &board : parts) {
                Rng grainRng(grainSeed); // both halves of a wrapped board get the same grain
                p.save();
                p.setClipRect(board);
                p.fillRect(board, c);
                for (int g = 0; g < 3; ++g)
                    grain(p, grainRng, board, false, c);
                p.fillRect(QRectF(board.left(), board.top(), 1, 8), QColor(60, 36, 18));
                p.fillRect(QRectF(board.left(), board.bottom() - 1, 32, 1), QColor(60, 36, 18));
                p.fillRect(QRectF(board.left(), board.top(), 32, 1), c.lighter(118));
                p.restore();
            }
        }
    }
}

void grassFloor(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(62, 108, 40));
    const auto offsets = wrapOffsets();
    for (int i = 0; i < 40; ++i) {
        const QPointF c(rng.range(0, 64), rng.range(0, 64));
        const qreal r = rng.range(3, 8);
        const QColor col = rng.unit() < 0.5 ? QColor(40, 80, 26, 70) : QColor(110, 160, 60, 60);
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        for (const QPointF &o : offsets)
            p.drawEllipse(c + o, r, r * 0.8);
    }
    const QColor blades[] = {QColor(36, 80, 26), QColor(80, 140, 50), QColor(118, 172, 70)};
    for (int i = 0; i < 500; ++i) {
        const QPointF a(rng.range(0, 64), rng.range(0, 64));
        const double angle = -kPi / 2 + rng.range(-0.6, 0.6);
        const double len = rng.range(2, 5);
        const QPointF b = a + QPointF(len * std::cos(angle), len * std::sin(angle));
        p.setPen(QPen(blades[rng.below(3)], 1, Qt::SolidLine, Qt::RoundCap));
        for (const QPointF &o : offsets)
            p.drawLine(a + o, b + o);
    }
}

// ---------------------------------------------------------------- ceilings

void panelCeil(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(150, 152, 156)); // T-bar grid
    for (int py = 0; py < 64; py += 32)
        for (int px = 0; px < 64; px += 32) {
            const QColor c = vary(QColor(208, 206, 198), rng, 4);
            bevel(p, QRectF(px + 2, py + 2, 28, 28), c, 1, true);
            for (int i = 0; i < 45; ++i) // pinholes of an acoustic tile
                p.fillRect(QRectF(px + 4 + rng.below(24), py + 4 + rng.below(24), 1, 1), QColor(140, 138, 130));
        }
}

void concreteCeil(QPainter &p, Rng &rng)
{
    p.fillRect(kTile, QColor(132, 130, 126));
    const auto offsets = wrapOffsets();
    for (int i = 0; i < 30; ++i) {
        const QPointF c(rng.range(0, 64), rng.range(0, 64));
        const qreal r = rng.range(3, 10);
        p.setPen(Qt::NoPen);
        p.setBrush(rng.unit() < 0.5 ? QColor(90, 88, 84, 40) : QColor(170, 168, 160, 40));
        for (const QPointF &o : offsets)
            p.drawEllipse(c + o, r, r * rng.range(0.6, 1.0));
    }
    p.fillRect(QRectF(0, 31, 64, 1), QColor(80, 78, 74, 120)); // formwork seam
    p.setPen(QPen(QColor(170, 168, 162), 1));
    p.setBrush(QColor(52, 50, 48));
    for (const QPointF &c : {QPointF(16, 16), QPointF(48, 16), QPointF(16, 48), QPointF(48, 48)})
        p.drawEllipse(c, 2.2, 2.2); // form-tie holes
    QPainterPath crack;
    QPointF pt(rng.range(20, 44), 0);
    crack.moveTo(pt);
    while (pt.y() < 30) {
        pt += QPointF(rng.range(-3, 3), rng.range(2, 5));
        crack.lineTo(pt);
    }
    stroke(p, crack, QPen(QColor(60, 58, 55, 170), 0.8));
}

void lampCeil(QPainter &p)
{
    bevel(p, kTile, QColor(84, 86, 92), 2);
    glow(p, QPointF(32, 32), 31, QColor(255, 236, 180, 110));
    outline(p, ellipse(QPointF(32, 32), 16, 16), radial(QPointF(28, 28), 20, QColor(210, 212, 216), QColor(80, 82, 88)),
            1.2);
    QRadialGradient light = radial(QPointF(30, 30), 14, Qt::white, QColor(236, 204, 120));
    light.setColorAt(0.6, QColor(255, 242, 190));
    p.setPen(QPen(QColor(120, 110, 80), 1));
    p.setBrush(light);
    p.drawEllipse(QPointF(32, 32), 12, 12);
    for (const QPointF &c : {QPointF(6, 6), QPointF(58, 6), QPointF(6, 58), QPointF(58, 58)})
        rivet(p, c, 2);
}

// ---------------------------------------------------------------- doors

// Sliding metal door; a valid key colour adds a coloured band with a lock plate.
void door(QPainter &p, const QColor &key)
{
    bevel(p, kTile, QColor(70, 74, 80), 2); // frame
    QLinearGradient leaf(4, 0, 60, 0);
    leaf.setStops({{0, QColor(132, 138, 146)}, {1, QColor(100, 106, 114)}});
    p.fillRect(QRectF(4, 3, 56, 59), leaf);
    for (const int x : {4, 32})
        for (const QRectF &r : {QRectF(x + 4, 8, 20, 16), QRectF(x + 4, 40, 20, 17)})
            bevel(p, r, QColor(112, 118, 126), 1, true);
    p.fillRect(QRectF(31, 3, 1, 59), QColor(40, 42, 46)); // seam between the two halves
    p.fillRect(QRectF(32, 3, 1, 59), QColor(170, 176, 184));
    if (key.isValid()) {
        bevel(p, QRectF(4, 27, 56, 10), key, 1.5);
        outline(p, ellipse(QPointF(32, 32), 6, 6),
                radial(QPointF(30, 30), 8, QColor(235, 236, 240), QColor(120, 124, 130)), 1.2);
        QPainterPath hole = poly({{31, 31}, {33, 31}, {33.6, 35}, {30.4, 35}}); // keyhole
        hole.addEllipse(QPointF(32, 30.5), 1.6, 1.6);
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPath(hole.simplified());
    } else {
        for (const int x : {25, 37})
            outline(p, rectPath(QRectF(x, 26, 3, 12), 1.5), QColor(190, 194, 200), 1);
    }
    for (const int x : {10, 26, 38, 54})
        rivet(p, QPointF(x, 5.5), 1.3);
}

// ---------------------------------------------------------------- actors

enum class Gun { Pistol, Shotgun, Chaingun };

// Top-down figure facing up: shoulders, helmeted head, arms holding a weapon.
void actor(QPainter &p, const QColor &suit, const QColor &helmet, Gun gun)
{
    shadow(p, QPointF(34, 42), 26, 18);
    const QColor steel(58, 60, 66);
    switch (gun) {
    case Gun::Pistol:
        outline(p, rectPath(QRectF(33, 4, 4, 17), 1), steel, 1.2);
        break;
    case Gun::Shotgun:
        outline(p, rectPath(QRectF(31, 2, 3.5, 20), 1), steel, 1.2);
        outline(p, rectPath(QRectF(34.5, 2, 3.5, 20), 1), steel, 1.2);
        outline(p, rectPath(QRectF(30, 9, 9, 6), 1.5), QColor(130, 80, 40), 1.2);
        break;
    case Gun::Chaingun:
        outline(p, rectPath(QRectF(30, 0.5, 9, 22), 2), cylinder(30, 39, steel), 1.4);
        p.setPen(QPen(QColor(20, 20, 22), 1));
        for (int y = 4; y < 14; y += 3)
            p.drawLine(QPointF(30.5, y), QPointF(38.5, y));
        for (int i = 0; i < 5; ++i) // ammo belt
            outline(p, rectPath(QRectF(40 + i * 1.6, 17 + i * 2.8, 3, 2.4), 0.6), QColor(220, 180, 60), 0.7);
        break;
    }
    const QColor skin(222, 178, 138);
    // Arms bent at the elbow so they read as arms rather than part of the torso.
    const QPolygonF arms[] = {QPolygonF({QPointF(17, 42), QPointF(18, 31), QPointF(31, 20)}),
                              QPolygonF({QPointF(47, 42), QPointF(46, 31), QPointF(38, 21)})};
    p.setBrush(Qt::NoBrush);
    for (const QPolygonF &arm : arms) {
        p.setPen(QPen(kInk, 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(arm);
        p.setPen(QPen(suit.darker(125), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(arm);
    }
    QPainterPath hands = ellipse(QPointF(31.5, 20), 2.8, 2.8);
    hands.addEllipse(QPointF(37.5, 21), 2.8, 2.8);
    outline(p, hands, skin, 1.1);
    QRadialGradient shoulders = radial(QPointF(26, 40), 26, suit.lighter(145), suit.darker(170));
    shoulders.setColorAt(0.5, suit);
    outline(p, ellipse(QPointF(32, 44), 20, 10), shoulders, 1.6);
    outline(p, ellipse(QPointF(32, 42), 7.5, 7.5),
            radial(QPointF(29.5, 39.5), 9, helmet.lighter(160), helmet.darker(150)), 1.5);
    p.setPen(QPen(helmet.darker(190), 1.2));
    p.drawArc(QRectF(27, 36, 10, 7), 30 * 16, 120 * 16); // helmet rim at the front
}

// ---------------------------------------------------------------- decorations

void barrel(QPainter &p)
{
    shadow(p, QPointF(32, 58), 20, 5);
    const QColor red(160, 64, 36);
    QPainterPath body = rectPath(QRectF(16, 12, 32, 44), 3);
    body.addEllipse(QPointF(32, 56), 16, 4.5);
    outline(p, body.simplified(), cylinder(16, 48, red), 1.6);
    for (const qreal y : {20.0, 45.0})
        outline(p, rectPath(QRectF(16, y, 32, 3)), cylinder(16, 48, QColor(150, 152, 158)), 1);
    outline(p, rectPath(QRectF(24, 28, 16, 12), 1.5), QColor(230, 190, 50), 1.2); // label
    stroke(p, poly({{32, 30}, {36.5, 38}, {27.5, 38}}), QPen(kInk, 1.3)); // hazard sign
    outline(p, ellipse(QPointF(32, 12), 16, 4.5), red.darker(150), 1.4);
    p.setPen(QPen(red.darker(220), 1));
    p.drawEllipse(QPointF(32, 12), 12, 3);
}

void pillar(QPainter &p)
{
    shadow(p, QPointF(32, 61), 22, 3.5);
    const QColor stone(176, 168, 150);
    outline(p, rectPath(QRectF(20, 12, 24, 42)), cylinder(20, 44, stone), 1.4);
    p.setPen(QPen(withAlpha(stone.darker(190), 150), 1));
    for (int x = 24; x <= 40; x += 4) // fluting
        p.drawLine(QPointF(x, 15), QPointF(x, 51));
    outline(p, rectPath(QRectF(13, 3, 38, 6), 1), cylinder(13, 51, stone), 1.4);
    outline(p, rectPath(QRectF(17, 9, 30, 4)), cylinder(17, 47, stone), 1.2);
    outline(p, rectPath(QRectF(17, 53, 30, 3)), cylinder(17, 47, stone), 1.2);
    outline(p, rectPath(QRectF(13, 56, 38, 6), 1), cylinder(13, 51, stone), 1.4);
}

void plant(QPainter &p, Rng &rng)
{
    shadow(p, QPointF(32, 61), 16, 3);
    const int count = 9;
    for (int i = 0; i < count; ++i) {
        // Alternate outer and inner leaves so the front ones overlap the back.
        const int k = (i % 2) ? count - 1 - i / 2 : i / 2;
        const double a = -kPi * (0.1 + 0.8 * k / (count - 1)) + rng.range(-0.08, 0.08);
        const double len = (k == 0 || k == count - 1) ? rng.range(15, 18) : rng.range(19, 26);
        p.save();
        p.translate(32, 42);
        p.rotate(a * 180 / kPi);
        QPainterPath leaf;
        leaf.moveTo(0, 0);
        leaf.quadTo(len * 0.5, -len * 0.28, len, 0);
        leaf.quadTo(len * 0.5, len * 0.28, 0, 0);
        const QColor g = vary(QColor(60, 140, 50), rng, 20);
        QLinearGradient lg(0, -len * 0.14, 0, len * 0.14);
        lg.setColorAt(0, g.lighter(140));
        lg.setColorAt(1, g.darker(150));
        outline(p, leaf, lg, 1.1);
        p.setPen(QPen(g.lighter(170), 0.7));
        p.drawLine(QPointF(2, 0), QPointF(len * 0.85, 0));
        p.restore();
    }
    const QPainterPath pot = poly({{22, 45}, {42, 45}, {39, 61}, {25, 61}});
    const QColor clay(190, 96, 56);
    outline(p, pot, cylinder(22, 42, clay), 1.4);
    outline(p, rectPath(QRectF(20, 41, 24, 5), 1), cylinder(20, 44, clay), 1.4);
}

void lampPost(QPainter &p)
{
    shadow(p, QPointF(32, 61), 12, 2.5);
    glow(p, QPointF(32, 13), 18, QColor(255, 230, 150, 150));
    const QColor iron(64, 66, 72);
    outline(p, rectPath(QRectF(30, 19, 4, 38)), cylinder(30, 34, iron), 1.2);
    outline(p, rectPath(QRectF(25, 55, 14, 6), 2), cylinder(25, 39, iron), 1.3);
    const QPainterPath glass = poly({{24, 6}, {40, 6}, {37, 19}, {27, 19}});
    QRadialGradient lg(QPointF(32, 12), 10);
    lg.setColorAt(0, Qt::white);
    lg.setColorAt(1, QColor(250, 206, 100));
    outline(p, glass, lg, 1.3);
    const QPainterPath cap = poly({{21, 7}, {43, 7}, {32, 1}});
    outline(p, cap, topLit(1, 7, iron), 1.3);
    outline(p, rectPath(QRectF(26, 18.5, 12, 2.5), 1), iron, 1.1);
}

// ---------------------------------------------------------------- items

void health(QPainter &p)
{
    shadow(p, QPointF(32, 54), 24, 5);
    p.setPen(QPen(kInk, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(23, 9, 18, 14), 0, 180 * 16); // handle
    p.setPen(QPen(QColor(200, 200, 206), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(23, 9, 18, 14), 0, 180 * 16);
    outline(p, rectPath(QRectF(9, 16, 46, 36), 5), topLit(16, 52, QColor(226, 226, 232)), 2);
    QPainterPath cross = rectPath(QRectF(27, 21, 10, 26));
    cross.addRect(QRectF(19, 29, 26, 10));
    p.setPen(QPen(QColor(110, 10, 10), 1.2));
    p.setBrush(topLit(21, 47, QColor(210, 30, 30)));
    p.drawPath(cross.simplified()); // outlined in dark red, not black, to keep it clean
}

void armor(QPainter &p)
{
    shadow(p, QPointF(32, 58), 22, 4);
    QPainterPath vest;
    vest.moveTo(17, 8);
    vest.lineTo(26, 8);
    vest.quadTo(32, 20, 38, 8);
    vest.lineTo(47, 8);
    vest.quadTo(47, 20, 54, 24);
    vest.lineTo(52, 56);
    vest.lineTo(12, 56);
    vest.lineTo(10, 24);
    vest.quadTo(17, 20, 17, 8);
    vest.closeSubpath();
    const QColor green(60, 140, 70);
    outline(p, vest, radial(QPointF(26, 26), 36, green.lighter(150), green.darker(170)), 2);
    p.setPen(QPen(green.darker(200), 1.4));
    for (const int y : {34, 44})
        p.drawLine(QPointF(12, y), QPointF(52, y));
    p.drawLine(QPointF(32, 20), QPointF(32, 56));
    for (const QPointF &c : {QPointF(22, 28), QPointF(42, 28)})
        rivet(p, c, 2);
}

void armorMini(QPainter &p)
{
    shadow(p, QPointF(32, 55), 14, 3.5);
    QPainterPath shield;
    shield.moveTo(32, 12);
    shield.quadTo(40, 17, 48, 16);
    shield.quadTo(49, 42, 32, 52);
    shield.quadTo(15, 42, 16, 16);
    shield.quadTo(24, 17, 32, 12);
    shield.closeSubpath();
    outline(p, shield, radial(QPointF(27, 22), 30, QColor(150, 190, 255), QColor(30, 60, 140)), 2);
    p.setPen(QPen(QColor(220, 230, 245), 1.6));
    p.drawLine(QPointF(32, 18), QPointF(32, 45));
    p.drawLine(QPointF(22, 26), QPointF(42, 26));
}

void keyItem(QPainter &p, const QColor &c)
{
    shadow(p, QPointF(33, 50), 22, 5);
    p.translate(32, 32);
    p.rotate(-40);
    QPainterPath key = ellipse(QPointF(-14, 0), 10, 10); // bow
    key.addRect(QRectF(-6, -3.5, 28, 7));
    key.addRect(QRectF(10, 3, 4.5, 7));
    key.addRect(QRectF(17, 3, 4.5, 5));
    const QPainterPath hole = ellipse(QPointF(-16, 0), 4.5, 4.5);
    outline(p, key.simplified().subtracted(hole), topLit(-10, 10, c), 1.8);
}

void shotgun(QPainter &p)
{
    shadow(p, QPointF(32, 48), 28, 4);
    p.translate(32, 32);
    p.rotate(-12);
    p.translate(-32, -32);
    const QColor steel(70, 74, 82), wood(140, 86, 44);
    outline(p, rectPath(QRectF(3, 24, 38, 4)), topLit(24, 28, steel), 1.2);
    outline(p, rectPath(QRectF(3, 28, 38, 4)), topLit(28, 32, steel), 1.2);
    outline(p, rectPath(QRectF(12, 30, 15, 6), 2), topLit(30, 36, wood), 1.2); // pump
    outline(p, rectPath(QRectF(38, 23, 12, 11), 1), topLit(23, 34, steel), 1.3);
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(40, 29, 8, 10), 180 * 16, 180 * 16); // trigger guard
    outline(p, poly({{49, 24}, {62, 28}, {62, 41}, {56, 41}, {49, 34}}), topLit(24, 41, wood),
            1.3); // stock
}

void machinegun(QPainter &p)
{
    shadow(p, QPointF(32, 52), 28, 4);
    const QColor steel(62, 66, 72);
    outline(p, rectPath(QRectF(1, 27, 10, 4)), topLit(27, 31, steel), 1.1);
    outline(p, rectPath(QRectF(9, 24, 15, 10), 2), topLit(24, 34, steel), 1.2); // jacket
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int x = 12; x < 22; x += 4)
        p.drawEllipse(QPointF(x, 29), 1.2, 1.2);
    outline(p, poly({{27, 34}, {34, 34}, {31, 50}, {24, 49}}), cylinder(24, 34, steel), 1.2);
    outline(p, rectPath(QRectF(22, 22, 26, 13), 1.5), topLit(22, 35, steel), 1.3);
    outline(p, rectPath(QRectF(28, 17, 12, 3), 1), steel, 1.1); // carry handle
    outline(p, poly({{40, 34}, {46, 34}, {47, 45}, {41, 45}}), steel.darker(120), 1.2); // grip
    outline(p, poly({{47, 24}, {62, 26}, {62, 38}, {47, 33}}), topLit(24, 38, steel), 1.3);
}

void rocket(QPainter &p)
{
    shadow(p, QPointF(32, 52), 22, 4);
    p.translate(32, 32);
    p.rotate(-40);
    const QColor red(200, 40, 30);
    for (const qreal side : {-1.0, 1.0})
        outline(p, poly({{-12, 5 * side}, {-24, 13 * side}, {-22, 5 * side}}), red, 1.3); // fins
    outline(p, rectPath(QRectF(-26, -3, 4, 6)), QColor(60, 60, 64), 1.2); // nozzle
    outline(p, rectPath(QRectF(-22, -6, 32, 12)), topLit(-6, 6, QColor(210, 212, 216)), 1.4);
    p.fillRect(QRectF(-4, -5.3, 3, 10.6), red);
    QPainterPath nose;
    nose.moveTo(10, -6);
    nose.quadTo(20, -5, 25, 0);
    nose.quadTo(20, 5, 10, 6);
    nose.closeSubpath();
    outline(p, nose, topLit(-6, 6, red), 1.4);
}

void plasma(QPainter &p)
{
    shadow(p, QPointF(32, 52), 26, 4);
    const QColor body(86, 104, 136), cyan(90, 230, 255);
    glow(p, QPointF(4, 32), 8, withAlpha(cyan, 200));
    outline(p, rectPath(QRectF(4, 29, 12, 6), 1), topLit(29, 35, body.darker(130)), 1.1);
    outline(p, poly({{38, 38}, {45, 38}, {48, 50}, {41, 50}}), body.darker(140), 1.2); // grip
    outline(p, rectPath(QRectF(12, 26, 46, 13), 5), topLit(26, 39, body), 1.4);
    p.setPen(QPen(kInk, 1.2));
    for (int x = 8; x <= 14; x += 3) // coils around the barrel
        p.drawLine(QPointF(x, 28), QPointF(x, 36));
    glow(p, QPointF(30, 22), 12, withAlpha(cyan, 160));
    QLinearGradient cell(0, 18, 0, 26); // energy cell
    cell.setStops({{0, Qt::white}, {1, cyan.darker(130)}});
    outline(p, rectPath(QRectF(19, 18, 22, 8), 4), cell, 1.2);
}

void explosive(QPainter &p, Rng &rng)
{
    shadow(p, QPointF(32, 57), 20, 4);
    const QColor red(196, 44, 36);
    for (const QRectF &r : {QRectF(16, 24, 10, 32), QRectF(38, 24, 10, 32), QRectF(27, 21, 10, 36)})
        outline(p, rectPath(r, 2), cylinder(r.left(), r.right(), red), 1.3);
    outline(p, rectPath(QRectF(15, 38, 34, 6)), topLit(38, 44, QColor(70, 70, 74)), 1.2); // tape
    QPainterPath fuse;
    fuse.moveTo(32, 21);
    fuse.cubicTo(32, 12, 40, 16, 42, 8);
    stroke(p, fuse, QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    stroke(p, fuse, QPen(QColor(200, 190, 160), 1.2, Qt::SolidLine, Qt::RoundCap));
    glow(p, QPointF(42, 8), 8, QColor(255, 200, 60, 220));
    p.setPen(QPen(QColor(255, 240, 150), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4 + rng.range(-0.2, 0.2);
        const double len = rng.range(3.5, 6);
        p.drawLine(QPointF(42, 8), QPointF(42 + len * std::cos(a), 8 + len * std::sin(a)));
    }
}

void teleport(QPainter &p)
{
    const QPointF c(32, 32);
    outline(p, ellipse(c, 29, 29), radial(QPointF(26, 26), 36, QColor(170, 172, 180), QColor(50, 52, 60)), 1.6);
    QRadialGradient pad = radial(c, 23, QColor(230, 250, 255), QColor(50, 10, 90));
    pad.setColorAt(0.35, QColor(90, 200, 255));
    pad.setColorAt(0.8, QColor(120, 40, 200));
    outline(p, ellipse(c, 23, 23), pad, 1.2);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) { // swirl
        p.setPen(QPen(QColor(220, 245, 255, 200), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - 17, c.y() - 17, 34, 34), i * 120 * 16, 70 * 16);
        p.setPen(QPen(QColor(220, 245, 255, 150), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - 10, c.y() - 10, 20, 20), (i * 120 + 60) * 16, 70 * 16);
    }
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        rivet(p, c + QPointF(26 * std::cos(a), 26 * std::sin(a)), 1.6);
    }
}

// Chequered flag on a pole marks the end of a level.
void levelEnd(QPainter &p)
{
    shadow(p, QPointF(14, 61), 10, 2.5);
    const auto wave = [](qreal x) { return 3.0 * std::sin((x - 17) / 42.0 * 2 * kPi); };
    const qreal x0 = 17, y0 = 8, cw = 8.4, ch = 7;
    for (int col = 0; col < 5; ++col) {
        const qreal xa = x0 + col * cw, xb = xa + cw;
        const qreal shade = 1.0 + 0.12 * std::cos((xa - 17) / 42.0 * 2 * kPi);
        for (int row = 0; row < 4; ++row) {
            const qreal ya = y0 + row * ch, yb = ya + ch;
            QPolygonF cell({QPointF(xa, ya + wave(xa)), QPointF(xb, ya + wave(xb)), QPointF(xb, yb + wave(xb)),
                            QPointF(xa, yb + wave(xa))});
            const int v = (row + col) % 2 ? 30 : 235;
            p.setPen(Qt::NoPen);
            const int grey = clamp255(int(v * shade));
            p.setBrush(QColor(grey, grey, grey));
            p.drawPolygon(cell);
        }
    }
    QPainterPath border;
    border.moveTo(x0, y0 + wave(x0));
    for (qreal x = x0; x <= x0 + 5 * cw + 0.01; x += 1)
        border.lineTo(x, y0 + wave(x));
    for (qreal x = x0 + 5 * cw; x >= x0 - 0.01; x -= 1)
        border.lineTo(x, y0 + 4 * ch + wave(x));
    border.closeSubpath();
    stroke(p, border, QPen(kInk, 1.4));
    outline(p, rectPath(QRectF(12, 6, 4, 55), 1), cylinder(12, 16, QColor(120, 124, 130)), 1.3);
    outline(p, ellipse(QPointF(14, 4.5), 3.5, 3.5),
            radial(QPointF(13, 3), 5, QColor(255, 240, 160), QColor(190, 140, 20)), 1.2);
}

// ---------------------------------------------------------------- output

// One output file: size in pixels, amount of grey noise added after painting, painter.
struct Picture
{
    QString path; // relative to the output directory
    int size;
    int noise;
    std::function<void(QPainter &, Rng &)> paint;
};

std::vector<Picture> pictures()
{
    using Paint = std::function<void(QPainter &, Rng &)>;
    const auto plain = [](void (*f)(QPainter &)) { return [f](QPainter &p, Rng &) { f(p); }; };
    const auto doorWith = [](QColor c) { return [c](QPainter &p, Rng &) { door(p, c); }; };
    const auto keyWith = [](QColor c) { return [c](QPainter &p, Rng &) { keyItem(p, c); }; };
    const auto actorWith
        = [](QColor suit, QColor helmet, Gun gun) { return [=](QPainter &p, Rng &) { actor(p, suit, helmet, gun); }; };
    const QColor blue(40, 90, 220), red(210, 36, 30), green(40, 170, 60), yellow(240, 200, 30);

    std::vector<Picture> list;
    for (const int n : {16, 32, 48, 64})
        list.push_back(
            {QStringLiteral("assets/bg%1x%1.jpg").arg(n), n, 0, [n](QPainter &p, Rng &) { gridTile(p, n); }});
    list.push_back({"assets/pencil.png", 32, 0, plain(pencilCursor)});
    list.push_back({"assets/bucket.png", 32, 0, plain(bucketCursor)});
    list.push_back({"assets/lamp.png", 64, 0, plain(lampMarker)});

    const std::vector<std::tuple<const char *, int, Paint>> textures = {
        {"Wall/brick.png", 10, brickWall},
        {"Wall/stone.png", 14, stoneWall},
        {"Wall/wood.png", 8, woodWall},
        {"Wall/metal.png", 5, metalWall},
        {"Floor/tiles.png", 6, tileFloor},
        {"Floor/stone.png", 12, stoneFloor},
        {"Floor/wood.png", 7, woodFloor},
        {"Floor/grass.png", 6, grassFloor},
        {"Ceil/panel.png", 4, panelCeil},
        {"Ceil/concrete.png", 14, concreteCeil},
        {"Ceil/lamps.png", 4, plain(lampCeil)},
        {"Door/door.png", 5, doorWith(QColor())},
        {"Door/bluekey.png", 5, doorWith(blue)},
        {"Door/redkey.png", 5, doorWith(red)},
        {"Door/greenkey.png", 5, doorWith(green)},
        {"Door/yellowkey.png", 5, doorWith(yellow)},
        {"Actor/player.png", 4, actorWith({50, 150, 60}, {90, 190, 90}, Gun::Pistol)},
        {"Actor/soldier.png", 4, actorWith({124, 104, 60}, {98, 102, 52}, Gun::Pistol)},
        {"Actor/shotgunner.png", 4, actorWith({150, 50, 42}, {90, 40, 36}, Gun::Shotgun)},
        {"Actor/machinegunner.png", 4, actorWith({70, 88, 136}, {46, 56, 90}, Gun::Chaingun)},
        {"Sprite/barrel.png", 5, plain(barrel)},
        {"Sprite/pillar.png", 9, plain(pillar)},
        {"Sprite/plant.png", 5, plant},
        {"Sprite/lamp_post.png", 3, plain(lampPost)},
        {"Item/health.png", 3, plain(health)},
        {"Item/armor.png", 4, plain(armor)},
        {"Item/armormini.png", 3, plain(armorMini)},
        {"Item/bluekey.png", 3, keyWith(blue)},
        {"Item/redkey.png", 3, keyWith(red)},
        {"Item/greenkey.png", 3, keyWith(green)},
        {"Item/yellowkey.png", 3, keyWith(yellow)},
        {"Item/shotgun.png", 4, plain(shotgun)},
        {"Item/machinegun.png", 4, plain(machinegun)},
        {"Item/rocket.png", 3, plain(rocket)},
        {"Item/plasma.png", 3, plain(plasma)},
        {"Item/explosive.png", 3, explosive},
        {"Item/teleport.png", 2, plain(teleport)},
        {"Item/levelend.png", 2, plain(levelEnd)},
    };
    for (const auto &[path, noise, paint] : textures)
        list.push_back({QStringLiteral("textures/") + path, 64, noise, paint});
    return list;
}

QImage render(const Picture &pic)
{
    QImage img(pic.size, pic.size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    Rng rng(seedFor(pic.path));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    pic.paint(p, rng);
    p.end();
    if (pic.noise > 0)
        addNoise(img, rng, pic.noise);
    return img;
}

bool write(const QString &file, const QImage &img)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        std::fprintf(stderr, "makeassets: cannot create directory %s\n", qPrintable(info.absolutePath()));
        return false;
    }
    QImageWriter writer(file);
    if (info.suffix() == QLatin1String("jpg")) {
        writer.setFormat("jpg");
        writer.setQuality(95);
    } else {
        writer.setFormat("png");
    }
    if (!writer.write(img)) {
        std::fprintf(stderr, "makeassets: cannot write %s: %s\n", qPrintable(file), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // --sample-level writes only the sample level, from the textures already there.
    if (argc == 3 && std::strcmp(argv[1], "--sample-level") == 0)
        return writeSampleLevel(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeassets [--sample-level] <outdir>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    int written = 0, failed = 0;
    for (const Picture &pic : pictures()) {
        if (write(root + QLatin1Char('/') + pic.path, render(pic)))
            ++written;
        else
            ++failed;
    }
    // The sample level copies the textures just written.
    if (!failed && !writeSampleLevel(root))
        ++failed;
    std::printf("makeassets: wrote %d files and the sample level to %s\n", written, qPrintable(root));
    return failed ? 1 : 0;
}
