// maclab-sweep: runs one scheme on one topology over a list of offered-traffic
// values, headless, and writes PREFIX.csv and PREFIX.svg.
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sweep/chart.h"
#include "sweep/run_point.h"
#include "sweep/sweep.h"

namespace {

constexpr const char* Options =
    "usage: maclab-sweep [--scheme NAME] [--topology NAME] [--ot G1,G2,...] [--ticks N]\n"
    "                    [--stations N] [--length L] [--reliable | --unreliable]\n"
    "                    [--backoff random|constant] [--out PREFIX]\n"
    "  defaults: --scheme ALOHA --topology Star --stations 24 --length 10 --unreliable\n"
    "            --backoff constant --ticks 100000 --out sweep\n"
    "            --ot 0.05,0.1,0.2,0.3,0.4,0.5,0.6,0.8,1.0,1.2,1.5,2.0\n";

// The options, and the names the scheme and the topology take.
std::string Usage() {
    std::string text = Options;
    text += "  schemes:";
    for (const auto& s : maclab::SchemeNames) text += " \"" + std::string(s.Text) + "\"";
    text += "\n  topologies:";
    for (const auto& t : maclab::Topologies) text += " \"" + std::string(t.Name) + "\"";
    return text + "\n";
}

bool ParseNumber(std::string_view text, double& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

bool ParseWhole(std::string_view text, long long& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

bool ParseList(std::string_view text, std::vector<double>& values) {
    values.clear();
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        double value = 0;
        if (!ParseNumber(text.substr(0, comma), value) || value < 0) return false;
        values.push_back(value);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return !values.empty();
}

int Fail(const std::string& message) {
    std::cerr << "maclab-sweep: " << message << '\n' << Usage();
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    maclab::sweep::Settings settings;
    std::vector<double> offered = maclab::sweep::DefaultOffered();
    std::string prefix = "sweep";
    for (int k = 1; k < argc; ++k) {
        const std::string_view option = argv[k];
        if (option == "--help" || option == "-h") {
            std::cout << Usage();
            return 0;
        }
        if (option == "--reliable") {
            settings.Reliable = true;
            continue;
        }
        if (option == "--unreliable") {
            settings.Reliable = false;
            continue;
        }
        if (k + 1 >= argc) return Fail("missing value after " + std::string(option));
        const std::string_view value = argv[++k];
        long long whole = 0;
        if (option == "--scheme") {
            if (maclab::SchemeFromText(value) == maclab::Scheme::Other)
                return Fail("unknown scheme " + std::string(value));
            settings.Scheme = value;
        } else if (option == "--topology") {
            bool known = false;
            for (const auto& t : maclab::Topologies) known = known || t.Name == value;
            if (!known) return Fail("unknown topology " + std::string(value));
            settings.Topology = value;
        } else if (option == "--ot") {
            if (!ParseList(value, offered)) return Fail("bad offered-traffic list");
        } else if (option == "--ticks") {
            if (!ParseWhole(value, whole) || whole < 1) return Fail("bad tick count");
            settings.Ticks = whole;
        } else if (option == "--stations") {
            if (!ParseWhole(value, whole) || whole < 2 || whole > 24)
                return Fail("stations must be 2 to 24");
            settings.Stations = static_cast<int>(whole);
        } else if (option == "--length") {
            if (!ParseNumber(value, settings.PacketLength) || settings.PacketLength < 3 ||
                settings.PacketLength > 10000)
                return Fail("packet length must be 3 to 10000");
        } else if (option == "--backoff") {
            if (value != "random" && value != "constant")
                return Fail("backoff is random or constant");
            settings.RandomBackoff = value == "random";
        } else if (option == "--out") {
            prefix = value;
        } else {
            return Fail("unknown option " + std::string(option));
        }
    }

    // The points run side by side; each row is printed as soon as it and
    // every row before it are done, so the table comes out in order.
    std::vector<std::optional<maclab::sweep::Point>> done(offered.size());
    std::size_t printed = 0;
    std::cout << "G        utilisation  efficiency  queued    received  backlog\n" << std::flush;
    maclab::sweep::SweepOptions options;
    options.OnPoint = [&](std::size_t k, const maclab::sweep::Point& p) {
        done[k] = p;
        for (; printed < done.size() && done[printed]; ++printed) {
            const maclab::sweep::Point& q = *done[printed];
            std::printf("%-8s %-12.4f %-11.4f %-9lld %-9lld %lld\n",
                        maclab::sweep::NumberText(q.Offered).c_str(), q.Utilisation, q.Efficiency,
                        static_cast<long long>(q.Queued), static_cast<long long>(q.Received),
                        static_cast<long long>(q.Backlog));
        }
        std::fflush(stdout);
    };
    const std::vector<maclab::sweep::Point> points =
        maclab::sweep::RunSweep(maclab::sweep::JobsFor(settings, offered), options).Points;

    std::ofstream csv(prefix + ".csv");
    maclab::sweep::WriteCsv(csv, settings, points);
    std::ofstream svg(prefix + ".svg");
    maclab::sweep::WriteSvg(svg, settings, points);
    if (!csv || !svg) {
        std::cerr << "maclab-sweep: cannot write " << prefix << ".csv / .svg\n";
        return 1;
    }
    std::cout << "wrote " << prefix << ".csv and " << prefix << ".svg\n";
    return 0;
}
