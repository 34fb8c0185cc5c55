#pragma once

#include "Horalis/Settings/IconStyle.h"

#include <QFont>
#include <QImage>
#include <QString>

// The tray icon, drawn from the day's progress. Sizes are in device-independent pixels: the
// pill is 36 × 18, the circle 21 × 21 and the percentage as large as its text. `devicePixelRatio`
// 0 means the primary screen's, so the icon is sharp at 1×, 1.5× and 2×.

// Black (black, 30 % black, dark gray) for a light panel; white (white, 30 % white, light gray)
// for a dark one, where the black would vanish.
enum class IconInk
{
    black,
    white
};

QImage makeIcon(IconStyle style, bool flipped, double progress, qreal devicePixelRatio = 0,
                IconInk ink = IconInk::black);
QImage makePillIcon(bool flipped, double progress, qreal devicePixelRatio = 0,
                    IconInk ink = IconInk::black);
QImage makeCircleIcon(bool flipped, double progress, qreal devicePixelRatio = 0,
                      IconInk ink = IconInk::black);
QImage makePercentageIcon(double progress, qreal devicePixelRatio = 0,
                          IconInk ink = IconInk::black);

// "42%" for 0.42; truncated, never rounded up; "0%" for a progress that is no number.
QString percentageIconText(double progress);
QFont percentageIconFont();
