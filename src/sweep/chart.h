// The results of a sweep as a table (CSV) and as a chart (SVG), with the
// classical curves that apply to the scheme drawn beside the measured ones.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "sweep/run_point.h"

namespace maclab::sweep {

// One analytic curve over the offered traffic.
struct Curve {
    std::string Label;
    std::function<double(double)> Value;
    std::string Style; // SVG stroke attributes
};

// The curves that apply: the infinite-population and finite-population
// formulas of the scheme, and the model of this simulator's Star medium
// where it applies (unreliable transfer on Star).  None for other schemes.
struct CurveSet {
    std::vector<Curve> Throughput;
    std::vector<Curve> Efficiency;
};
CurveSet CurvesFor(const Settings& settings);

void WriteCsv(std::ostream& out, const Settings& settings, const std::vector<Point>& points);
void WriteSvg(std::ostream& out, const Settings& settings, const std::vector<Point>& points);

} // namespace maclab::sweep
