// The run over time (utilisation, efficiency and waiting packets every tenth
// tick) as a table (CSV) and as a chart (SVG), for the window's export.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/history.h"

namespace maclab::sweep {

// One row a sample; every number written so that it reads back exactly, an
// empty efficiency while nothing was queued.
void WriteHistoryCsv(std::ostream& out, const std::vector<HistorySample>& samples);

// The three curves over the ticks: utilisation and efficiency in per cent on
// the left axis, waiting packets on the right.  Each curve is a polyline in
// the units of its axes (tick, value), placed on the plot by a transform, so
// the file holds the very numbers plotted.
void WriteHistorySvg(std::ostream& out, const std::vector<HistorySample>& samples,
                     const std::string& title);

// The right axis's top: a round number of packets at or above the most waiting.
double WaitingAxisTop(const std::vector<HistorySample>& samples);

} // namespace maclab::sweep
