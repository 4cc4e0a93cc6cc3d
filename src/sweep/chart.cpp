// CSV and hand-written SVG output of a sweep.
#include "sweep/chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "sweep/svg_text.h"
#include "sweep/theory.h"

namespace maclab::sweep {

namespace {

const char* const MeasuredStyle = R"(stroke="#1f3f9f" stroke-width="2" fill="none")";
const char* const ClassicStyle = R"(stroke="#c02020" stroke-width="1.5" fill="none")";
const char* const FiniteStyle =
    R"(stroke="#e08000" stroke-width="1.5" stroke-dasharray="7 4" fill="none")";
const char* const MediumStyle =
    R"(stroke="#208040" stroke-width="2" stroke-dasharray="2 3" fill="none")";

// A value range rounded up to a whole number of steps.
double NiceTop(double value, double step) {
    return std::max(step, std::ceil(value / step - 1e-9) * step);
}

struct Panel {
    double X, Y, W, H; // plot area in pixels
    double XMax, YMax;
    double PX(double g) const { return X + W * g / XMax; }
    double PY(double v) const { return Y + H * (1 - std::clamp(v, 0.0, YMax) / YMax); }
};

void DrawAxes(std::ostream& out, const Panel& p, const std::string& title, double xStep,
              double yStep) {
    out << R"(<rect x=")" << p.X << R"(" y=")" << p.Y << R"(" width=")" << p.W << R"(" height=")"
        << p.H << R"(" fill="#ffffff" stroke="#404040"/>)" << '\n';
    for (double g = 0; g <= p.XMax + 1e-9; g += xStep) {
        const double x = p.PX(g);
        out << R"(<line x1=")" << Fixed(x, 1) << R"(" y1=")" << p.Y << R"(" x2=")" << Fixed(x, 1)
            << R"(" y2=")" << p.Y + p.H << R"(" stroke="#e4e4e4"/>)" << '\n';
        out << R"(<text x=")" << Fixed(x, 1) << R"(" y=")" << p.Y + p.H + 16
            << R"(" text-anchor="middle">)" << Fixed(g, 1) << "</text>\n";
    }
    for (double v = 0; v <= p.YMax + 1e-9; v += yStep) {
        const double y = p.PY(v);
        out << R"(<line x1=")" << p.X << R"(" y1=")" << Fixed(y, 1) << R"(" x2=")" << p.X + p.W
            << R"(" y2=")" << Fixed(y, 1) << R"(" stroke="#e4e4e4"/>)" << '\n';
        out << R"(<text x=")" << p.X - 6 << R"(" y=")" << Fixed(y + 4, 1)
            << R"(" text-anchor="end">)" << Fixed(v, 1) << "</text>\n";
    }
    out << R"(<text x=")" << p.X + p.W / 2 << R"(" y=")" << p.Y - 10
        << R"(" text-anchor="middle" font-weight="bold">)" << Escape(title) << "</text>\n";
    out << R"(<text x=")" << p.X + p.W / 2 << R"(" y=")" << p.Y + p.H + 36
        << R"(" text-anchor="middle">offered traffic G (frames per frame time))"
        << "</text>\n";
}

void DrawCurve(std::ostream& out, const Panel& p, const Curve& curve) {
    out << "<polyline " << curve.Style << R"( points=")";
    constexpr int Samples = 200;
    for (int k = 0; k <= Samples; ++k) {
        const double g = p.XMax * k / Samples;
        out << Fixed(p.PX(g), 1) << ',' << Fixed(p.PY(curve.Value(g)), 1)
            << (k < Samples ? " " : "");
    }
    out << "\"/>\n";
}

template <typename Measure>
void DrawMeasured(std::ostream& out, const Panel& p, const std::vector<Point>& points,
                  Measure measure) {
    out << "<polyline " << MeasuredStyle << R"( points=")";
    for (std::size_t k = 0; k < points.size(); ++k)
        out << Fixed(p.PX(points[k].Offered), 1) << ',' << Fixed(p.PY(measure(points[k])), 1)
            << (k + 1 < points.size() ? " " : "");
    out << "\"/>\n";
    for (const Point& point : points)
        out << R"(<circle cx=")" << Fixed(p.PX(point.Offered), 1) << R"(" cy=")"
            << Fixed(p.PY(measure(point)), 1) << R"(" r="3.5" fill="#1f3f9f"/>)" << '\n';
}

} // namespace

CurveSet CurvesFor(const Settings& s) {
    CurveSet set;
    const int n = s.Stations;
    const double length = s.PacketLength;
    const std::string finite = "N = " + std::to_string(n) + ", p = G/N";
    const bool starModel = s.Topology == "Star" && !s.Reliable && n >= 2;
    const auto add = [&set](std::string label, std::function<double(double)> efficiency,
                            const char* style) {
        set.Throughput.push_back(
            {label, [efficiency](double g) { return g * efficiency(g); }, style});
        set.Efficiency.push_back({std::move(label), std::move(efficiency), style});
    };
    if (s.Scheme == "ALOHA") {
        add(
            "pure ALOHA, S = G e^-2G", [](double g) { return theory::PureAlohaEfficiency(g); },
            ClassicStyle);
        add(
            "pure ALOHA, " + finite + ", (1-p)^2(N-1)",
            [n](double g) { return theory::PureAlohaEfficiency(g, n); }, FiniteStyle);
        if (starModel)
            add(
                "this Star medium: (1-a)^((2L-1)(N-1)), a = G/(LN)",
                [n, length](double g) { return theory::StarAlohaEfficiency(g, n, length); },
                MediumStyle);
    } else if (s.Scheme == "Slotted ALOHA") {
        add(
            "slotted ALOHA, S = G e^-G", [](double g) { return theory::SlottedAlohaEfficiency(g); },
            ClassicStyle);
        add(
            "slotted ALOHA, " + finite + ", (1-p)^(N-1)",
            [n](double g) { return theory::SlottedAlohaEfficiency(g, n); }, FiniteStyle);
        if (starModel)
            add(
                "this Star medium: alone in the slot, no collision in the slot before",
                [n, length](double g) { return theory::StarSlottedAlohaEfficiency(g, n, length); },
                MediumStyle);
    }
    return set;
}

void WriteCsv(std::ostream& out, const Settings& s, const std::vector<Point>& points) {
    const CurveSet curves = CurvesFor(s);
    out << "offered_traffic,utilisation,efficiency,ticks,queued,sent,received,backlog";
    for (std::size_t k = 0; k < curves.Efficiency.size(); ++k) out << ",efficiency_curve_" << k + 1;
    out << '\n';
    for (const Point& p : points) {
        out << NumberText(p.Offered) << ',' << Fixed(p.Utilisation, 6) << ','
            << Fixed(p.Efficiency, 6) << ',' << p.Ticks << ',' << p.Queued << ',' << p.Sent << ','
            << p.Received << ',' << p.Backlog;
        for (const Curve& c : curves.Efficiency) out << ',' << Fixed(c.Value(p.Offered), 6);
        out << '\n';
    }
    // The curve columns are named in trailing comment lines so that the table
    // itself stays plain.
    for (std::size_t k = 0; k < curves.Efficiency.size(); ++k)
        out << "# efficiency_curve_" << k + 1 << ": " << curves.Efficiency[k].Label << '\n';
}

void WriteSvg(std::ostream& out, const Settings& s, const std::vector<Point>& points) {
    const CurveSet curves = CurvesFor(s);
    double gMax = 0, uMax = 0;
    for (const Point& p : points) {
        gMax = std::max(gMax, p.Offered);
        uMax = std::max(uMax, p.Utilisation);
    }
    const double xMax = NiceTop(gMax, 0.5);
    for (const Curve& c : curves.Throughput)
        for (int k = 0; k <= 100; ++k) uMax = std::max(uMax, c.Value(xMax * k / 100));
    const double yMaxU = NiceTop(uMax * 1.05, 0.1);
    const double xStep = xMax <= 1 ? 0.1 : xMax <= 3 ? 0.5 : 1.0;

    const double width = 1000, height = 560;
    const Panel left{70, 60, 390, 320, xMax, yMaxU};
    const Panel right{570, 60, 390, 320, xMax, 1.0};

    out << R"(<?xml version="1.0" encoding="UTF-8"?>)" << '\n'
        << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << width << R"(" height=")"
        << height << R"(" viewBox="0 0 )" << width << ' ' << height
        << R"(" font-family="sans-serif" font-size="12">)" << '\n'
        << R"(<rect width="100%" height="100%" fill="#f8f8f4"/>)" << '\n';
    const std::string title = s.Scheme + " on " + s.Topology + ", " + std::to_string(s.Stations) +
                              " stations, packet length " + NumberText(s.PacketLength) + ", " +
                              (s.Reliable ? "reliable" : "unreliable") + ", " +
                              std::to_string(s.Ticks) + " ticks per point";
    out << R"(<text x=")" << width / 2 << R"(" y="24" text-anchor="middle" font-size="15">)"
        << Escape(title) << "</text>\n";

    DrawAxes(out, left, "utilisation S (delivered share of the ticks)", xStep, 0.1);
    DrawAxes(out, right, "efficiency (delivered / queued)", xStep, 0.1);
    for (const Curve& c : curves.Throughput) DrawCurve(out, left, c);
    for (const Curve& c : curves.Efficiency) DrawCurve(out, right, c);
    DrawMeasured(out, left, points, [](const Point& p) { return p.Utilisation; });
    DrawMeasured(out, right, points, [](const Point& p) { return p.Efficiency; });

    // Legend.
    double y = 450;
    const auto legend = [&](const std::string& style, const std::string& label, bool marker) {
        out << "<line " << style << R"( x1="80" y1=")" << y - 4 << R"(" x2="130" y2=")" << y - 4
            << R"("/>)" << '\n';
        if (marker)
            out << R"(<circle cx="105" cy=")" << y - 4 << R"(" r="3.5" fill="#1f3f9f"/>)" << '\n';
        out << R"(<text x="140" y=")" << y << R"(">)" << Escape(label) << "</text>\n";
        y += 20;
    };
    legend(MeasuredStyle, "measured (this simulator)", true);
    for (const Curve& c : curves.Efficiency) legend(c.Style, c.Label, false);
    out << "</svg>\n";
}

} // namespace maclab::sweep
