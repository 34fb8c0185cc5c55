#include "Horalis/menubar/StatusIcon.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <cmath>
#include <limits>

namespace {

// Probes are in device-independent pixels, with y growing downwards as on screen.
QColor probe(const QImage& image, qreal x, qreal y)
{
    const qreal r = image.devicePixelRatio();
    return image.pixelColor(static_cast<int>(x * r), static_cast<int>(y * r));
}

bool isBlack(const QColor& c)
{
    return c.alpha() > 235 && c.red() < 20 && c.green() < 20 && c.blue() < 20;
}

bool isTrack(const QColor& c)
{
    return std::abs(c.alpha() - 77) <= 3 && c.red() == 0 && c.green() == 0 && c.blue() == 0;
}

bool isDarkGray(const QColor& c)
{
    return c.alpha() > 235 && std::abs(c.red() - 85) <= 8 && c.red() == c.green() &&
           c.green() == c.blue();
}

class StatusIconTest : public ::testing::TestWithParam<qreal>
{
protected:
    qreal ratio() const { return GetParam(); }
};

} // namespace

TEST_P(StatusIconTest, PillHasOutlineTrackAndBar)
{
    const QImage empty = makePillIcon(false, 0, ratio());
    EXPECT_EQ(empty.size(), QSize(36, 18) * ratio());
    EXPECT_EQ(empty.deviceIndependentSize(), QSizeF(36, 18));
    // Outline: both ends and both long edges, full semicircles at the ends.
    EXPECT_TRUE(isBlack(probe(empty, 0.2, 9)))
        << probe(empty, 0.2, 9).name(QColor::HexArgb).toStdString();
    EXPECT_TRUE(isBlack(probe(empty, 35.8, 9)));
    EXPECT_TRUE(isBlack(probe(empty, 18, 0.4)));
    EXPECT_TRUE(isBlack(probe(empty, 18, 17.6)));
    EXPECT_EQ(probe(empty, 0.3, 0.3).alpha(), 0) << "the corners stay outside the semicircles";
    EXPECT_TRUE(isTrack(probe(empty, 18, 9)));
    EXPECT_TRUE(isTrack(probe(empty, 4.5, 9)));

    // Where the bar ends: a 12-wide disc up to q = 0.4, then 30 × q.
    for (double q : {0.01, 0.4}) {
        const QImage pill = makePillIcon(false, q, ratio());
        EXPECT_TRUE(isBlack(probe(pill, 14, 9))) << q;
        EXPECT_TRUE(isTrack(probe(pill, 16, 9))) << q;
    }
    const QImage half = makePillIcon(false, 0.5, ratio());
    EXPECT_TRUE(isBlack(probe(half, 17, 9)));
    EXPECT_TRUE(isTrack(probe(half, 19, 9)));
    const QImage full = makePillIcon(false, 1, ratio());
    EXPECT_TRUE(isBlack(probe(full, 32, 9)));
    EXPECT_TRUE(isBlack(probe(full, 4, 9)));

    // Flipped, the bar shows what remains: nothing at the end of the day.
    EXPECT_EQ(makePillIcon(true, 1, ratio()), empty);
    EXPECT_EQ(makePillIcon(true, 0.5, ratio()), half);
}

TEST_P(StatusIconTest, CircleWedgeSweepsClockwiseFromTwelve)
{
    const QImage quarter = makeCircleIcon(false, 0.25, ratio());
    EXPECT_EQ(quarter.size(), QSize(21, 21) * ratio());
    EXPECT_TRUE(isBlack(probe(quarter, 13.5, 7.5))) << "upper right";
    EXPECT_TRUE(isTrack(probe(quarter, 7.5, 7.5))) << "upper left";
    EXPECT_TRUE(isTrack(probe(quarter, 7.5, 13.5))) << "lower left";
    EXPECT_TRUE(isTrack(probe(quarter, 13.5, 13.5))) << "lower right";

    const QImage full = makeCircleIcon(false, 1, ratio());
    for (auto [x, y] : {std::pair{7.5, 7.5}, {13.5, 7.5}, {7.5, 13.5}, {13.5, 13.5}})
        EXPECT_TRUE(isBlack(probe(full, x, y))) << x << "," << y;
    // The wedge covers the inner half of the outline; the outer half stays dark gray.
    EXPECT_TRUE(isDarkGray(probe(full, 10.5, 2.5)))
        << probe(full, 10.5, 2.5).name(QColor::HexArgb).toStdString();
    EXPECT_TRUE(isDarkGray(probe(full, 18.5, 10.5)));
    EXPECT_TRUE(isBlack(probe(full, 10.5, 3.5)));
    EXPECT_EQ(probe(full, 1, 1).alpha(), 0);

    const QImage none = makeCircleIcon(false, 0, ratio());
    EXPECT_TRUE(isTrack(probe(none, 10.5, 10.5)));
    EXPECT_TRUE(isDarkGray(probe(none, 10.5, 2.5)));
    EXPECT_EQ(makeCircleIcon(true, 1, ratio()), none);
}

TEST_P(StatusIconTest, StyleTextChoosesTheDrawing)
{
    const QImage pill = makePillIcon(false, 0.3, ratio());
    for (const char* style : {"pill", "Pill", "", "ring", "circle "})
        EXPECT_EQ(makeIcon(QString::fromLatin1(style), false, 0.3, ratio()), pill) << style;
    EXPECT_EQ(makeIcon("circle", true, 0.3, ratio()), makeCircleIcon(true, 0.3, ratio()));
    EXPECT_EQ(makeIcon("percentage", true, 0.25, ratio()),
              makeIcon("percentage", false, 0.25, ratio()));
}

TEST_P(StatusIconTest, PercentageIsSizedToItsText)
{
    const QFontMetricsF metrics(percentageIconFont());
    for (double progress : {0.0, 0.29, 0.999, 1.0}) {
        const QImage image = makePercentageIcon(progress, ratio());
        const QString text = percentageIconText(progress);
        EXPECT_EQ(image.width(),
                  static_cast<int>(std::ceil(metrics.horizontalAdvance(text) * ratio())));
        EXPECT_EQ(image.height(), static_cast<int>(std::ceil(metrics.height() * ratio())));
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += image.pixelColor(x, y).alpha() > 128;
        EXPECT_GT(inked, 10) << "the text is drawn inside the image";
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, StatusIconTest, ::testing::Values(1.0, 2.0));

TEST(StatusIcon, PercentageTextTruncates)
{
    EXPECT_EQ(percentageIconText(0.999), "99%");
    EXPECT_EQ(percentageIconText(0.29), "28%");
    EXPECT_EQ(percentageIconText(0), "0%");
    EXPECT_EQ(percentageIconText(1), "100%");
    EXPECT_EQ(percentageIconText(std::nan("")), "0%");
    EXPECT_EQ(percentageIconText(std::numeric_limits<double>::infinity()), "0%");
    EXPECT_EQ(makePercentageIcon(std::nan(""), 1), makePercentageIcon(0, 1));
    EXPECT_EQ(percentageIconFont().pixelSize(), 13);
    EXPECT_EQ(percentageIconFont().weight(), QFont::Medium);
    const QFontMetricsF metrics(percentageIconFont());
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'))
        << "a monospaced font";
}

TEST(StatusIcon, WhiteInkMirrorsEachColourForDarkPanels)
{
    // Full day, so the pill's bar and the ring's wedge cover their tracks.
    const QImage pill = makePillIcon(false, 1.0, 1, IconInk::white);
    const QColor bar = probe(pill, 18, 9);
    EXPECT_EQ(bar, QColor(255, 255, 255)) << bar.name(QColor::HexArgb).toStdString();
    const QImage emptyPill = makePillIcon(false, 0.0, 1, IconInk::white);
    const QColor track = probe(emptyPill, 18, 9);
    EXPECT_EQ(track.rgb() & 0xffffff, 0xffffffu);
    EXPECT_NEAR(track.alpha(), 77, 3); // white at 30 %

    const QImage ring = makeCircleIcon(false, 0.0, 1, IconInk::white);
    const QColor outline = probe(ring, 10.5, 2.3); // the outer half of the ring at twelve
    EXPECT_GT(outline.alpha(), 235);
    EXPECT_NEAR(outline.red(), 170, 8); // light gray, two thirds
    EXPECT_EQ(outline.red(), outline.blue());

    const QImage percentage = makePercentageIcon(0.5, 1, IconInk::white);
    int whitePixels = 0, darkPixels = 0;
    for (int y = 0; y < percentage.height(); ++y) {
        for (int x = 0; x < percentage.width(); ++x) {
            const QColor c = percentage.pixelColor(x, y);
            if (c.alpha() > 200)
                (c.lightness() > 240 ? whitePixels : darkPixels)++;
        }
    }
    EXPECT_GT(whitePixels, 20);
    EXPECT_EQ(darkPixels, 0);
    EXPECT_EQ(makeIcon("circle", false, 1.0, 1, IconInk::white),
              makeCircleIcon(false, 1.0, 1, IconInk::white));
}
