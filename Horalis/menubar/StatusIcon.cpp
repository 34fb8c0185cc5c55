#include "Horalis/menubar/StatusIcon.h"

#include "Horalis/model/PercentFigure.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace {

// The fixed colours of the icon: black, black at 30 % and dark gray on a light panel; on a dark
// one their mirror, white, white at 30 % and light gray.
struct Inks
{
    QColor solid;
    QColor track;
    QColor ring;
};

Inks inksFor(IconInk ink)
{
    if (ink == IconInk::white)
        return {QColor(255, 255, 255), QColor::fromRgbF(1, 1, 1, 0.3f),
                QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3)};
    return {QColor(0, 0, 0), QColor::fromRgbF(0, 0, 0, 0.3f),
            QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3)};
}

qreal effectiveRatio(qreal requested)
{
    if (requested > 0)
        return requested;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

// The share of a moving edge `length` points long that has passed, rounded down to whole
// sixteenths of a device pixel: the steps a user could see. Finer ones only change an
// antialiased edge by a shade, yet each makes the tray host fetch and draw a new picture.
double visibleShare(double share, qreal length, qreal ratio)
{
    const double steps = std::ceil(length * ratio * 16);
    return std::floor(share * steps) / steps;
}

// A transparent image of the given device-independent size, and a painter on it.
struct Canvas
{
    Canvas(QSizeF size, qreal ratio)
        : image(static_cast<int>(std::ceil(size.width() * ratio)),
                static_cast<int>(std::ceil(size.height() * ratio)),
                QImage::Format_ARGB32_Premultiplied)
    {
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
    }
    // On a copy of an image already drawn: the painter's first stroke makes the copy.
    explicit Canvas(const QImage& base) : image(base)
    {
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
    }
    QImage finish()
    {
        painter.end();
        return image;
    }

    QImage image;
    QPainter painter;
};

// The icon's shapes are laid out with y growing upwards from the bottom edge; Qt's grows down.
QRectF flippedRect(qreal imageHeight, qreal x, qreal y, qreal width, qreal height)
{
    return QRectF(x, imageHeight - y - height, width, height);
}

// Radii larger than half the rectangle are clamped to that half, so that an outline taller
// than twice its radius still ends in full semicircles.
QPainterPath roundedRect(const QRectF& rect, qreal radius)
{
    const qreal r = std::min({radius, rect.width() / 2, rect.height() / 2});
    QPainterPath path;
    path.addRoundedRect(rect, r, r, Qt::AbsoluteSize);
    return path;
}

// The band a pen of `width` would stroke along a rounded rectangle (or, with `ellipse`, along
// the inscribed ellipse), as one filled path: the same outline as stroking, at a fraction of
// the cost of Qt's path stroker.
QPainterPath strokeBand(const QRectF& rect, qreal radius, qreal width, bool ellipse = false)
{
    const qreal half = width / 2;
    const QRectF outer = rect.adjusted(-half, -half, half, half);
    const QRectF inner = rect.adjusted(half, half, -half, -half);
    QPainterPath band;
    band.setFillRule(Qt::OddEvenFill);
    if (ellipse) {
        band.addEllipse(outer);
        band.addEllipse(inner);
    } else {
        const qreal r = std::min({radius, rect.width() / 2, rect.height() / 2});
        band.addRoundedRect(outer, r + half, r + half, Qt::AbsoluteSize);
        band.addRoundedRect(inner, r - half, r - half, Qt::AbsoluteSize);
    }
    return band;
}

// Fills a shape that lies on untouched, transparent pixels. Source composition gives the same
// pixels there as blending, and Qt's raster engine blends translucent colours slowly.
void fillOnClear(QPainter& painter, const QPainterPath& path, const QColor& colour)
{
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillPath(path, colour);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

double shownFraction(bool flipped, double progress)
{
    return flipped ? 1.0 - progress : progress;
}

// What does not move with the day, the pill's outline and track and the ring's disc and
// outline, is drawn once for each ink and density and copied after that: its curves are most
// of a drawing's cost, and the copy holds the very same pixels.
enum class Frame
{
    pill,
    ring
};

template <typename Draw> QImage frame(Frame kind, IconInk ink, qreal ratio, Draw draw)
{
    thread_local std::map<std::tuple<Frame, IconInk, qreal>, QImage> drawn;
    QImage& image = drawn[{kind, ink, ratio}];
    if (image.isNull()) {
        Canvas canvas(kind == Frame::pill ? QSizeF(36, 18) : QSizeF(21, 21), ratio);
        draw(canvas.painter);
        image = canvas.finish();
    }
    return image;
}

} // namespace

QImage makeIcon(IconStyle style, bool flipped, double progress, qreal devicePixelRatio, IconInk ink)
{
    switch (style.value()) {
    case IconStyle::circle:
        return makeCircleIcon(flipped, progress, devicePixelRatio, ink);
    case IconStyle::percentage:
        return makePercentageIcon(progress, devicePixelRatio, ink);
    case IconStyle::pill:
        break;
    }
    return makePillIcon(flipped, progress, devicePixelRatio, ink);
}

QImage makePillIcon(bool flipped, double progress, qreal devicePixelRatio, IconInk ink)
{
    const Inks inks = inksFor(ink);
    constexpr qreal kHeight = 18;
    const qreal ratio = effectiveRatio(devicePixelRatio);
    Canvas canvas(frame(Frame::pill, ink, ratio, [&](QPainter& p) {
        p.fillPath(strokeBand(flippedRect(kHeight, 0.5, 0.5, 35, 17), 9, 1.5), inks.solid);
        // The track lies inside the outline without touching it.
        fillOnClear(p, roundedRect(flippedRect(kHeight, 3, 3, 30, 12), 6), inks.track);
    }));
    QPainter& p = canvas.painter;

    const double q = shownFraction(flipped, progress);
    if (q > 0) {
        // Its right end stands still until the fill is longer than it is high.
        const double shown = 30 * visibleShare(q, 30, ratio);
        const double width = shown > 12 ? shown : 12;
        p.fillPath(roundedRect(flippedRect(kHeight, 3, 3, width, 12), 6), inks.solid);
    }
    return canvas.finish();
}

QImage makeCircleIcon(bool flipped, double progress, qreal devicePixelRatio, IconInk ink)
{
    const Inks inks = inksFor(ink);
    constexpr qreal kSize = 21;
    const QRectF disc = flippedRect(kSize, 3, 3, 15, 15);
    const qreal ratio = effectiveRatio(devicePixelRatio);
    Canvas canvas(frame(Frame::ring, ink, ratio, [&](QPainter& p) {
        QPainterPath outline;
        outline.addEllipse(disc);
        fillOnClear(p, outline, inks.track);
        p.fillPath(strokeBand(disc, 0, 2, true), inks.ring);
    }));
    QPainter& p = canvas.painter;

    // The wedge's edge moves fastest at the rim.
    const double q = visibleShare(shownFraction(flipped, progress), M_PI * 15, ratio);
    if (q > 0) {
        // Qt measures angles counter-clockwise on screen: from twelve o'clock, a negative sweep
        // runs clockwise, as the wedge must.
        QPainterPath wedge(disc.center());
        wedge.arcTo(disc, 90, -360 * q);
        wedge.closeSubpath();
        p.fillPath(wedge, inks.solid);
    }
    return canvas.finish();
}

QString percentageIconText(double progress)
{
    return QString::number(wholePercent(progress)) + QLatin1Char('%');
}

QFont percentageIconFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    font.setWeight(QFont::Medium);
    return font;
}

QImage makePercentageIcon(double progress, qreal devicePixelRatio, IconInk ink)
{
    const QString text = percentageIconText(progress);
    const QFont font = percentageIconFont();
    const qreal ratio = effectiveRatio(devicePixelRatio);
    // The figure changes a hundred times a day: the last one drawn serves until then.
    struct Drawn
    {
        QString text;
        QString font;
        IconInk ink;
        qreal ratio;
        QImage image;
    };
    thread_local Drawn last{};
    if (last.text == text && last.font == font.key() && last.ink == ink && last.ratio == ratio)
        return last.image;
    const QFontMetricsF metrics(font);
    Canvas canvas(QSizeF(metrics.horizontalAdvance(text), metrics.height()), ratio);
    canvas.painter.setFont(font);
    canvas.painter.setPen(inksFor(ink).solid);
    canvas.painter.drawText(QPointF(0, metrics.ascent()), text);
    last = {text, font.key(), ink, ratio, canvas.finish()};
    return last.image;
}
