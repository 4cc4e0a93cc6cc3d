// Ticks per second of the headless core with 24 stations.
//
//   medium/<topology>        the medium step alone, every station's Output busy
//   tick/<topology>          the whole Timer1_Timer with every station saturated
//                            (ALOHA, queues kept full, so every station keeps sending)
//   scheme/<scheme>/<topology>  the whole Timer1_Timer of a started run at offered
//                            traffic 2.0, after the queues have filled up
//   idle/<topology>          a started run at offered traffic 0: every queue
//                            empty, the medium silent
//   space/<stations>         ALOHA on Space at offered traffic 2.0 with 2, 8 or
//                            24 stations, for the growth of the cost per tick
//
// Nothing is drawn (the core's own null surface), as in the headless runner.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/form1.h"

namespace {

using maclab::Form1;

// A name without blanks or slashes, for benchmark filters and the report.
std::string Plain(std::string text) {
    for (char& c : text) {
        if (c == ' ') c = '_';
        if (c == '/') c = '-';
    }
    return text;
}

void Open(Form1& f, const std::string& topology, const std::string& scheme, int stations = 24) {
    f.Form_Load();
    f.UserPick(f.cmbTopology, topology);
    f.UserEdit(f.cmbNodes, std::to_string(stations));
    f.UserEdit(f.cmbScheme, scheme);
}

void Rate(benchmark::State& state) {
    state.counters["ticks_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void MediumOnly(benchmark::State& state, std::string topology) {
    Form1 f;
    Open(f, topology, "ALOHA");
    long tick = 0;
    for (auto _ : state) {
        // Address and data symbols in turn, so cells keep changing colour.
        for (int i = 0; i < 24; ++i) {
            maclab::Node& s = f.NodeTable[i];
            s.Output = (tick + i) % 2 ? s.AddressColour : s.DataColour;
        }
        f.MediumStep();
        ++tick;
    }
    benchmark::DoNotOptimize(f.NodeTable[0].Heard);
    Rate(state);
}

void SaturatedTick(benchmark::State& state, std::string topology) {
    Form1 f;
    Open(f, topology, "ALOHA");
    const auto topUp = [&f] {
        for (int i = 0; i < 24; ++i)
            while (f.NodeTable[i].QueueCount < 50)
                f.QueuePacket(10, static_cast<maclab::Integer>(i),
                              static_cast<maclab::Integer>((i + 1) % 24));
    };
    for (int t = 0; t < 200; ++t) {
        topUp();
        f.Timer1_Timer();
    }
    for (auto _ : state) {
        topUp();
        f.Timer1_Timer();
    }
    benchmark::DoNotOptimize(f.TotalSent);
    Rate(state);
}

void SchemeAtFullLoad(benchmark::State& state, std::string scheme, std::string topology) {
    Form1 f;
    Open(f, topology, scheme);
    f.UserPick(f.cmbOT, "2.0");
    f.cmdStart_Click(0);
    for (int t = 0; t < 5000; ++t) f.Timer1_Timer(); // queues fill up
    for (auto _ : state) f.Timer1_Timer();
    benchmark::DoNotOptimize(f.TotalReceived);
    Rate(state);
}

void Idle(benchmark::State& state, std::string topology) {
    Form1 f;
    Open(f, topology, "ALOHA");
    f.UserEdit(f.cmbOT, "0");
    f.cmdStart_Click(0);
    for (int t = 0; t < 100; ++t) f.Timer1_Timer();
    for (auto _ : state) f.Timer1_Timer();
    benchmark::DoNotOptimize(f.TickCount);
    Rate(state);
}

void SpaceStations(benchmark::State& state, int stations) {
    Form1 f;
    Open(f, "Space", "ALOHA", stations);
    f.UserPick(f.cmbOT, "2.0");
    f.cmdStart_Click(0);
    for (int t = 0; t < 5000; ++t) f.Timer1_Timer();
    for (auto _ : state) f.Timer1_Timer();
    benchmark::DoNotOptimize(f.TotalReceived);
    Rate(state);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> topologies, schemes;
    for (const auto& t : maclab::Topologies) topologies.emplace_back(t.Name);
    for (const auto& s : maclab::SchemeNames) schemes.emplace_back(s.Text);
    for (const auto& t : topologies)
        benchmark::RegisterBenchmark(("medium/" + Plain(t)).c_str(), MediumOnly, t);
    for (const auto& t : topologies)
        benchmark::RegisterBenchmark(("tick/" + Plain(t)).c_str(), SaturatedTick, t);
    for (const auto& s : schemes)
        for (const auto& t : topologies)
            benchmark::RegisterBenchmark(("scheme/" + Plain(s) + "/" + Plain(t)).c_str(),
                                         SchemeAtFullLoad, s, t);
    for (const auto& t : topologies)
        benchmark::RegisterBenchmark(("idle/" + Plain(t)).c_str(), Idle, t);
    for (const int n : {2, 8, 24})
        benchmark::RegisterBenchmark(("space/" + std::to_string(n)).c_str(), SpaceStations, n);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
