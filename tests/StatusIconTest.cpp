#include "Horalis/menubar/StatusIcon.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <limits>

namespace {

// Every style, plain and flipped, in both inks, at moments of the day that put the bar's end
// on each of its shapes: one row per style and ink, drawn at `ratio`.
QImage iconSheet(qreal ratio)
{
    const double moments[] = {0.0, 0.01, 0.25, 0.4, 0.5, 0.75, 0.999, 1.0};
    const QSizeF cell(44, 24);
    QImage sheet((QSizeF(cell.width() * 16, cell.height() * 6) * ratio).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    int row = 0;
    for (IconInk ink : {IconInk::black, IconInk::white}) {
        for (IconStyle style : IconStyle::allCases()) {
            int column = 0;
            for (bool flipped : {false, true}) {
                for (double progress : moments) {
                    const QImage icon = makeIcon(style, flipped, progress, ratio, ink);
                    painter.drawImage(QPointF(column++ * cell.width(), row * cell.height()), icon);
                }
            }
            ++row;
        }
    }
    return sheet;
}

QColor probe(const QImage& image, qreal x, qreal y)
{
    const qreal r = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(x * r), static_cast<int>(y * r));
}

} // namespace

// The pictures are the contract: sizes, outlines, colours and where the bar ends.
TEST(StatusIcon, EachStyleLooksAsItsPicture)
{
    for (qreal ratio : {1.0, 2.0})
        expectLooksLikeGolden(iconSheet(ratio), QStringLiteral("icons@%1x.png").arg(ratio));
}

TEST(StatusIcon, InksAreBlackOnLightPanelsAndTheirMirrorOnDarkOnes)
{
    // Bar, track at 30 % and the ring's outline: black, black, dark gray, or their mirror.
    const struct
    {
        IconInk ink;
        QRgb solid;
        QRgb ring;
    } inks[] = {{IconInk::black, qRgb(0, 0, 0), qRgb(85, 85, 85)},
                {IconInk::white, qRgb(255, 255, 255), qRgb(170, 170, 170)}};
    for (const auto& [ink, solid, ring] : inks) {
        EXPECT_EQ(probe(makePillIcon(false, 1.0, 1, ink), 18, 9).rgba(), solid | 0xff000000u);
        const QColor track = probe(makePillIcon(false, 0.0, 1, ink), 18, 9);
        EXPECT_NEAR(track.red(), qRed(solid), 1);
        EXPECT_NEAR(track.alpha(), 77, 2);
        const QColor outline = probe(makeCircleIcon(false, 0.0, 1, ink), 10.5, 2.3);
        EXPECT_GT(outline.alpha(), 235);
        EXPECT_NEAR(outline.red(), qRed(ring), 8);
        EXPECT_EQ(outline.red(), outline.blue());
    }
    EXPECT_EQ(makeIcon(IconStyle::percentage, true, 0.25),
              makeIcon(IconStyle::percentage, false, 0.25))
        << "the percentage has no direction";
}

TEST(StatusIcon, PercentageTextTruncates)
{
    EXPECT_EQ(percentageIconText(0.29), "28%"); // 0.29 × 100 is 28.999...
    EXPECT_EQ(percentageIconText(std::nan("")), "0%");
    EXPECT_EQ(percentageIconText(std::numeric_limits<double>::infinity()), "0%");
    EXPECT_EQ(makePercentageIcon(std::nan(""), 1), makePercentageIcon(0, 1));
}

// A tray host fetches and draws every new picture: the pill and the ring may change at most 30
// and 70 times an hour, at 1x and 2x, and still move through the whole day.
TEST(StatusIcon, APictureChangesOnlyWhereAUserCouldSeeIt)
{
    const std::pair<IconStyle, int> limits[] = {{IconStyle::pill, 30}, {IconStyle::circle, 70}};
    for (const auto& [style, perHour] : limits) {
        for (qreal ratio : {1.0, 2.0}) {
            int changes = 0;
            QImage last = makeIcon(style, false, 0, ratio, IconInk::black);
            // Every ten seconds of a day; no two steps fall closer together than that.
            for (int second = 10; second <= 86400; second += 10) {
                QImage now = makeIcon(style, false, second / 86400.0, ratio, IconInk::black);
                if (now != last)
                    ++changes;
                last = std::move(now);
            }
            const std::string which =
                style.rawValue().toStdString() + " at " + std::to_string(int(ratio)) + "x";
            EXPECT_LE(changes, perHour * 24) << which;
            EXPECT_GE(changes, perHour * 24 / 4) << which;
        }
    }
}
