#pragma once

#include "Sessions.h"

#include <string>

namespace namoro::bench {

// Draws the per-second CPU and wake-ups of the three sessions into `png` with gnuplot; throws
// if it cannot.
void drawTimeline(const std::string& png, const Readings& readings);

} // namespace namoro::bench
