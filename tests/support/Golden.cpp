#include "Golden.h"

#include <gtest/gtest.h>

#include <QDir>

#include <algorithm>
#include <cstdlib>

namespace {

// The largest difference of any channel of any pixel; a size mismatch counts as 255.
int largestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int i = 0; i < x.width(); ++i) {
            largest = std::max(
                {largest, std::abs(qAlpha(p[i]) - qAlpha(q[i])), std::abs(qRed(p[i]) - qRed(q[i])),
                 std::abs(qGreen(p[i]) - qGreen(q[i])), std::abs(qBlue(p[i]) - qBlue(q[i]))});
        }
    }
    return largest;
}

} // namespace

void expectLooksLikeGolden(const QImage& actual, const QString& name, int tolerance)
{
    const QString golden = QStringLiteral(HORALIS_GOLDEN_DIR "/") + name;
    if (qEnvironmentVariableIsSet("HORALIS_UPDATE_GOLDEN"))
        actual.save(golden);
    const QImage expected(golden);
    ASSERT_FALSE(expected.isNull()) << golden.toStdString();
    const int difference = largestDifference(actual, expected);
    if (difference > tolerance) {
        const QString drawn = QDir::temp().filePath(name);
        actual.save(drawn);
        ADD_FAILURE() << name.toStdString() << " differs by " << difference
                      << "; drawn: " << drawn.toStdString();
    }
}
