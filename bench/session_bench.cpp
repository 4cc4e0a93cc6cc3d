// The cost of keeping the session and the speed of going back: a busy
// 24-station network (offered traffic 2.0) run through the one way in, the
// step back and the timeline measured at its end, the checkpoints' memory,
// and the size of the script a class session writes out.
//
//   maclab-session-bench [TICKS=1000000] [LONG=10000000] [SCRIPT_OUT]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"

using namespace maclab;
using Clock = std::chrono::steady_clock;

namespace {
double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Busy(Form1& f, int topology) {
    NetworkConfig c;
    c.Topology = topology;
    c.Stations = 24;
    c.OfferedTraffic = 2.0;
    f.Apply(c);
    f.Do(Action::Click("cmdStart", 0));
}
} // namespace

int main(int argc, char** argv) {
    const std::uint64_t ticks = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const std::uint64_t longTicks = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 10000000;

    // The same run with the clock driven straight and through the door.
    double straight = 0, door = 0;
    {
        Form1 f;
        f.Form_Load();
        Busy(f, TopoBus);
        const auto t0 = Clock::now();
        for (std::uint64_t k = 0; k < ticks; ++k) f.Timer1_Timer();
        straight = Ms(Clock::now() - t0);
    }
    Form1 f;
    f.Form_Load();
    Busy(f, TopoBus);
    const auto t0 = Clock::now();
    for (std::uint64_t k = 0; k < ticks; ++k) f.Do(Action::Interval());
    door = Ms(Clock::now() - t0);
    std::printf("%llu ticks, Bus, 24 stations, offered traffic 2.0: %.0f ms straight, %.0f ms "
                "through the door with the session kept (%+.1f %%)\n",
                static_cast<unsigned long long>(ticks), straight, door,
                100.0 * (door - straight) / straight);
    std::printf("checkpoints: %zu, %.1f MB\n", f.CheckpointCount(), f.CheckpointBytes() / 1e6);

    // Step back from the end, again and again (paused first, as in class).
    f.Do(Action::Click("cmdPause"));
    double worstBack = 0, sumBack = 0;
    const int backs = 20;
    for (int k = 0; k < backs; ++k) {
        const auto b0 = Clock::now();
        f.Do(Action::Click("cmdBack"));
        const double ms = Ms(Clock::now() - b0);
        worstBack = std::max(worstBack, ms);
        sumBack += ms;
    }
    std::printf("step back at tick %llu: mean %.2f ms, worst %.2f ms (%d steps)\n",
                static_cast<unsigned long long>(f.SessionTick), sumBack / backs, worstBack, backs);

    // The timeline dragged to ticks all over the session.
    std::mt19937_64 r(7);
    double worstSeek = 0, sumSeek = 0;
    const int seeks = 40;
    const std::uint64_t end = f.SessionEnd();
    for (int k = 0; k < seeks; ++k) {
        const std::uint64_t t = r() % (end + 1);
        const auto s0 = Clock::now();
        f.Do(Action::Seek(t));
        const double ms = Ms(Clock::now() - s0);
        worstSeek = std::max(worstSeek, ms);
        sumSeek += ms;
    }
    std::printf("timeline to any tick of %llu: mean %.1f ms, worst %.1f ms (%d moves)\n",
                static_cast<unsigned long long>(end), sumSeek / seeks, worstSeek, seeks);

    // A class of half an hour: 200,000 ticks and a few hundred actions.
    {
        Form1 c;
        c.Form_Load();
        std::mt19937 a(3);
        const char* schemes[] = {"ALOHA", "CSMA", "CSMA/CD", "Token Passing", "RTS/CTS"};
        const char* topologies[] = {"Star", "Bus", "Ring", "Space", "Wide Space"};
        for (int k = 0; k < 300; ++k) {
            switch (a() % 6) {
            case 0:
                c.Do(Action::Pick("cmbScheme", schemes[a() % 5]));
                break;
            case 1:
                c.Do(Action::Pick("cmbTopology", topologies[a() % 5]));
                break;
            case 2:
                c.Do(Action::Click("cmdNode", static_cast<int>(a() % 7)));
                break;
            case 3:
                c.Do(Action::Key("Space"));
                for (int s = 0; s < 3; ++s) c.Do(Action::Key("Right"));
                c.Do(Action::Key("Space"));
                break;
            case 4:
                c.Do(Action::Pick("cmbOT", "0.4"));
                c.Do(Action::Click("cmdStart", 0));
                break;
            default:
                c.Do(Action::Toggle("chkStatus"));
                break;
            }
            for (int t = 0; t < 200000 / 300; ++t) c.Do(Action::Interval());
        }
        const std::string script = c.SessionScript();
        std::printf("class session: %llu ticks, %zu actions, script %zu bytes\n",
                    static_cast<unsigned long long>(c.SessionTick), c.SessionEntries().size(),
                    script.size());
        if (argc > 3) std::ofstream(argv[3], std::ios::binary) << script;
    }

    // A long session: the checkpoints stay within their budget.
    if (longTicks > 0) {
        const std::size_t heapBefore = mallinfo2().uordblks;
        Form1 l;
        l.Form_Load();
        Busy(l, TopoStar);
        for (std::uint64_t k = 0; k < longTicks; ++k) l.Do(Action::Interval());
        l.Do(Action::Click("cmdPause"));
        const auto b0 = Clock::now();
        l.Do(Action::Click("cmdBack"));
        const double back = Ms(Clock::now() - b0);
        std::printf("%llu ticks, Star: %zu checkpoints, %.1f MB counted (budget %.1f MB), heap in "
                    "use %.1f MB; a step back %.1f ms\n",
                    static_cast<unsigned long long>(longTicks), l.CheckpointCount(),
                    l.CheckpointBytes() / 1e6, Form1::CheckpointBudget / 1e6,
                    (mallinfo2().uordblks - heapBefore) / 1e6, back);
    }
    return 0;
}
