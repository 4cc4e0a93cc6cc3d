#include "sweep/history_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "sweep/run_point.h"
#include "sweep/svg_text.h"

namespace maclab::sweep {

namespace {

// 1, 2 or 5 times a power of ten, at least the value.
double RoundUp(double value) {
    if (value <= 0) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value * (1 - 1e-12)) return step * power;
    return 10 * power;
}

constexpr double PlotX = 70, PlotY = 50, PlotW = 760, PlotH = 300;

} // namespace

double WaitingAxisTop(const std::vector<HistorySample>& samples) {
    std::int64_t most = 0;
    for (const HistorySample& s : samples) most = std::max(most, s.Waiting);
    return std::max(10.0, RoundUp(static_cast<double>(most)));
}

void WriteHistoryCsv(std::ostream& out, const std::vector<HistorySample>& samples) {
    out << "tick,utilisation_percent,efficiency_percent,waiting_packets\n";
    for (const HistorySample& s : samples)
        out << s.Tick << ',' << NumberText(s.Utilisation) << ','
            << (std::isnan(s.Efficiency) ? std::string() : NumberText(s.Efficiency)) << ','
            << s.Waiting << '\n';
}

void WriteHistorySvg(std::ostream& out, const std::vector<HistorySample>& samples,
                     const std::string& title) {
    const double first = samples.empty() ? 0 : static_cast<double>(samples.front().Tick);
    const double last = samples.empty() ? 0 : static_cast<double>(samples.back().Tick);
    const double span = std::max(10.0, last - first);
    const double waitingTop = WaitingAxisTop(samples);
    const double width = 900, height = 440;

    out << R"(<?xml version="1.0" encoding="UTF-8"?>)" << '\n'
        << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << width << R"(" height=")"
        << height << R"(" viewBox="0 0 )" << width << ' ' << height
        << R"(" font-family="sans-serif" font-size="12">)" << '\n'
        << R"(<rect width="100%" height="100%" fill="#f8f8f4"/>)" << '\n'
        << R"(<text x=")" << width / 2 << R"(" y="24" text-anchor="middle" font-size="15">)"
        << Escape(title) << "</text>\n"
        << R"(<rect x=")" << PlotX << R"(" y=")" << PlotY << R"(" width=")" << PlotW
        << R"(" height=")" << PlotH << R"(" fill="#ffffff" stroke="#404040"/>)" << '\n';
    // Grid and labels: per cent on the left, packets on the right, ticks below.
    for (int k = 0; k <= 10; ++k) {
        const double y = PlotY + PlotH * (1 - k / 10.0);
        out << R"(<line x1=")" << PlotX << R"(" y1=")" << Fixed(y, 1) << R"(" x2=")"
            << PlotX + PlotW << R"(" y2=")" << Fixed(y, 1) << R"(" stroke="#e4e4e4"/>)" << '\n'
            << R"(<text x=")" << PlotX - 6 << R"(" y=")" << Fixed(y + 4, 1)
            << R"(" text-anchor="end">)" << k * 10 << "</text>\n"
            << R"(<text x=")" << PlotX + PlotW + 6 << R"(" y=")" << Fixed(y + 4, 1) << R"(">)"
            << NumberText(waitingTop * k / 10) << "</text>\n";
    }
    for (int k = 0; k <= 5; ++k) {
        const double x = PlotX + PlotW * k / 5.0;
        out << R"(<text x=")" << Fixed(x, 1) << R"(" y=")" << PlotY + PlotH + 16
            << R"(" text-anchor="middle">)" << std::llround(first + span * k / 5) << "</text>\n";
    }
    out << R"(<text x=")" << PlotX + PlotW / 2 << R"(" y=")" << PlotY + PlotH + 36
        << R"(" text-anchor="middle">tick</text>)" << '\n';

    // (tick, value) to pixels: x = a tick + e, y = d value + f.
    const double a = PlotW / span;
    const auto group = [&](double top) {
        out << R"(<g transform="matrix()" << NumberText(a) << " 0 0 " << NumberText(-PlotH / top)
            << ' ' << NumberText(PlotX - a * first) << ' ' << NumberText(PlotY + PlotH)
            << R"lit()">)lit" << '\n';
    };
    // One polyline for each stretch of defined values.
    const auto curve = [&](const char* name, const char* colour, auto value) {
        bool open = false;
        for (const HistorySample& s : samples) {
            const double v = value(s);
            if (std::isnan(v)) {
                if (open) out << "\"/>\n";
                open = false;
                continue;
            }
            if (!open)
                out << R"(<polyline class=")" << name << R"(" stroke=")" << colour
                    << R"(" stroke-width="1.5" fill="none" vector-effect="non-scaling-stroke" points=")";
            else
                out << ' ';
            out << s.Tick << ',' << NumberText(v);
            open = true;
        }
        if (open) out << "\"/>\n";
    };
    group(100);
    curve("utilisation", "#1f3f9f", [](const HistorySample& s) { return s.Utilisation; });
    curve("efficiency", "#208040", [](const HistorySample& s) { return s.Efficiency; });
    out << "</g>\n";
    group(waitingTop);
    curve("waiting", "#a03090",
          [](const HistorySample& s) { return static_cast<double>(s.Waiting); });
    out << "</g>\n";

    double y = PlotY + PlotH + 64;
    for (const auto& [colour, label] :
         {std::pair<const char*, const char*>{"#1f3f9f", "utilisation, % (left)"},
          {"#208040", "efficiency, % (left)"},
          {"#a03090", "packets waiting in all queues (right)"}}) {
        out << R"(<line stroke=")" << colour << R"(" stroke-width="2" x1="80" y1=")" << y - 4
            << R"(" x2="130" y2=")" << y - 4 << R"("/>)" << '\n'
            << R"(<text x="140" y=")" << y << R"(">)" << label << "</text>\n";
        y += 18;
    }
    out << "</svg>\n";
}

} // namespace maclab::sweep
