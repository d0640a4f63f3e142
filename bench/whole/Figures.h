#pragma once

#include "Sessions.h"
#include "TickRecord.h"

#include <string>

namespace namoro::bench {

// The figure table in Markdown: every figure beside its reference's, judged against its budget.
void printFigures(const Readings& readings);

// Each timer of the clicked game: its rate against the classic pacing, and how late it ticked.
void printTimers(const TickRecord& ticks);

// The web page's figures, measured by bench/web/web_bench.py and written as JSON to `path`,
// in the same table; throws if they cannot be read.
void printWebFigures(const std::string& path);

} // namespace namoro::bench
