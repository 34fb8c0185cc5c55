#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// A fraction as the whole percent shown for it: truncated toward zero, never rounded up, so
// 0.999 shows 99. A fraction that is no number shows 0; converting it would be undefined.
inline std::int64_t wholePercent(double fraction)
{
    const double percent = fraction * 100;
    if (!std::isfinite(percent))
        return 0;
    return static_cast<std::int64_t>(std::clamp(percent, -1e15, 1e15));
}
