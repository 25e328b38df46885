// NovikMetrics: the one set of spacings, corner radii and meter heights
// every view uses, in points.
#pragma once

namespace NovikMetrics {

// Spacings, smallest to largest.
inline constexpr double hairGap = 2;
inline constexpr double tight = 4;
inline constexpr double snug = 6;
inline constexpr double regular = 8;
inline constexpr double loose = 12;
inline constexpr double section = 16;
inline constexpr double block = 24;

// Corner radii.
inline constexpr double rowRadius = 10;
inline constexpr double cardRadius = 14;
inline constexpr double cellRadius = 3;

// Meter heights. `meterRegular` equals `regular` today but is its own
// name, so meters and spacing can change apart.
inline constexpr double meterRegular = 8;
inline constexpr double meterCompact = 5;

}
