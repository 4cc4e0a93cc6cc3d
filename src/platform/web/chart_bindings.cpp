// The page's charts from the same C++ as maclab-sweep and the window's
// export: the settings a sweep of the page's network runs with, one point of
// a sweep (each Web Worker runs them on an instance of the program of its
// own), and the charts and tables themselves, written by src/sweep.  The
// page only shows what these write.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "sweep/chart.h"
#include "sweep/history_chart.h"
#include "sweep/run_point.h"
#include "sweep/sweep.h"

namespace maclab::web {

namespace {

std::string reply;
sweep::Settings sweepSettings;
std::vector<sweep::Point> sweepPoints;

const char* Reply(std::string text) {
    reply = std::move(text);
    return reply.c_str();
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

sweep::Settings SettingsOf(const char* scheme, const char* topology, int stations, int reliable,
                           int random, double length, double ticks) {
    sweep::Settings s;
    s.Scheme = scheme;
    s.Topology = topology;
    s.Stations = stations;
    s.Reliable = reliable != 0;
    s.RandomBackoff = random != 0;
    s.PacketLength = length;
    s.Ticks = static_cast<long long>(ticks);
    return s;
}

} // namespace

// What a sweep of this form's network runs with, or why there is none.
std::string SweepSettingsJson(const Form1& form) {
    std::string scheme;
    for (const SchemeName& name : SchemeNames)
        if (name.Code == form.Settings.CurrentScheme) scheme = name.Text;
    if (scheme.empty())
        return R"({"why":"The scheme box names no scheme: pick one from its list."})";
    if (form.ActiveStations() < 2) return R"({"why":"There is no network: pick 2 to 24 nodes."})";
    return "{\"scheme\":" + Quoted(scheme) +
           ",\"topology\":" + Quoted(std::string(TopologyOf(form.Topology).Name)) +
           ",\"stations\":" + std::to_string(form.ActiveStations()) +
           ",\"reliable\":" + std::to_string(form.Settings.Reliable == 1 ? 1 : 0) +
           ",\"random\":" + std::to_string(form.Settings.RandomBackoff == 1 ? 1 : 0) +
           ",\"length\":" + sweep::NumberText(form.PacketLength) + "}";
}

std::string HistoryChart(const Form1& form, bool svg, const std::string& title) {
    std::vector<HistorySample> samples;
    for (std::size_t k = 0; k < form.History.Size(); ++k) samples.push_back(form.History[k]);
    std::ostringstream out;
    if (svg)
        sweep::WriteHistorySvg(out, samples, title);
    else
        sweep::WriteHistoryCsv(out, samples);
    return out.str();
}

} // namespace maclab::web

// In a Web Worker, tells the page how far the point has come.
// clang-format off
EM_JS(void, PostProgress, (double done), {
    if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope)
        postMessage({progress: done});
});
// clang-format on

extern "C" {

// maclab-sweep's offered traffic list, as JSON.
EMSCRIPTEN_KEEPALIVE const char* maclab_sweep_offered() {
    std::string out = "[";
    for (const double g : maclab::sweep::DefaultOffered())
        out += (out.size() > 1 ? "," : "") + maclab::sweep::NumberText(g);
    return maclab::web::Reply(out + "]");
}

// One point of a sweep, as maclab-sweep measures it, as JSON.  While it runs,
// a Web Worker posts {progress: ticks} after every block of ticks.
EMSCRIPTEN_KEEPALIVE const char* maclab_sweep_point(const char* scheme, const char* topology,
                                                    int stations, int reliable, int random,
                                                    double length, double ticks, double offered) {
    const maclab::sweep::Settings s =
        maclab::web::SettingsOf(scheme, topology, stations, reliable, random, length, ticks);
    const auto report = [](long long done) {
        PostProgress(static_cast<double>(done));
        return true;
    };
    const maclab::sweep::Point p = *maclab::sweep::RunPoint(s, offered, report);
    char text[512];
    std::snprintf(text, sizeof text,
                  "{\"offered\":%.17g,\"ticks\":%lld,\"queued\":%lld,\"sent\":%lld,"
                  "\"received\":%lld,\"backlog\":%lld,\"utilisation\":%.17g,\"efficiency\":%.17g}",
                  p.Offered, p.Ticks, static_cast<long long>(p.Queued),
                  static_cast<long long>(p.Sent), static_cast<long long>(p.Received),
                  static_cast<long long>(p.Backlog), p.Utilisation, p.Efficiency);
    return maclab::web::Reply(text);
}

// A new sweep's settings; its points follow one by one, in the list's order.
EMSCRIPTEN_KEEPALIVE void maclab_sweep_begin(const char* scheme, const char* topology, int stations,
                                             int reliable, int random, double length,
                                             double ticks) {
    maclab::web::sweepSettings =
        maclab::web::SettingsOf(scheme, topology, stations, reliable, random, length, ticks);
    maclab::web::sweepPoints.clear();
}

EMSCRIPTEN_KEEPALIVE void maclab_sweep_add(double offered, double ticks, double queued, double sent,
                                           double received, double backlog, double utilisation,
                                           double efficiency) {
    maclab::sweep::Point p;
    p.Offered = offered;
    p.Ticks = static_cast<long long>(ticks);
    p.Queued = static_cast<std::int64_t>(queued);
    p.Sent = static_cast<std::int64_t>(sent);
    p.Received = static_cast<std::int64_t>(received);
    p.Backlog = static_cast<std::int64_t>(backlog);
    p.Utilisation = utilisation;
    p.Efficiency = efficiency;
    maclab::web::sweepPoints.push_back(p);
}

// The sweep so far as maclab-sweep writes it: its SVG chart (1) or CSV table (0).
EMSCRIPTEN_KEEPALIVE const char* maclab_sweep_chart(int svg) {
    std::ostringstream out;
    if (svg)
        maclab::sweep::WriteSvg(out, maclab::web::sweepSettings, maclab::web::sweepPoints);
    else
        maclab::sweep::WriteCsv(out, maclab::web::sweepSettings, maclab::web::sweepPoints);
    return maclab::web::Reply(out.str());
}

} // extern "C"
