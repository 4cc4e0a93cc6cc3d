// One measurement of a sweep on a Form1 of its own.
#include "sweep/run_point.h"

namespace maclab::sweep {

std::optional<Point> RunPoint(const Settings& settings, double offered,
                              const std::function<bool(long long)>& carryOn) {
    Form1 form;
    form.Form_Load();
    NetworkConfig config;
    for (const TopologyInfo& t : Topologies)
        if (t.Name == settings.Topology) config.Topology = t.Code;
    for (std::size_t k = 0; k < SchemeNames.size(); ++k)
        if (SchemeNames[k].Text == settings.Scheme) config.SchemeIndex = static_cast<int>(k);
    config.Stations = settings.Stations;
    config.PacketLength = settings.PacketLength;
    config.OfferedTraffic = offered;
    config.Reliable = settings.Reliable;
    config.RandomBackoff = settings.RandomBackoff;
    form.Apply(config);
    form.Do(Action::Click("cmdStart", 0));
    for (long long t = 0; t < settings.Ticks;) {
        const long long end = std::min(settings.Ticks, t + CheckEvery);
        for (; t < end; ++t) form.Do(Action::Interval());
        if (carryOn && !carryOn(t)) return std::nullopt;
    }

    Point point;
    point.Offered = offered;
    point.Ticks = form.TickCount;
    point.Queued = form.TotalQueued;
    point.Sent = form.TotalSent;
    point.Received = form.TotalReceived;
    for (int i = 0; i < form.ActiveStations(); ++i) point.Backlog += form.NodeTable[i].QueueCount;
    // The exact shares: the labels' formulas carry tiny factors that only
    // steer their rounding, which would show in the sixth decimal here.
    if (form.TickCount > 0)
        point.Utilisation = static_cast<double>(form.TotalReceived) * form.PacketLength /
                            static_cast<double>(form.TickCount);
    if (form.TotalQueued > 0)
        point.Efficiency =
            static_cast<double>(form.TotalReceived) / static_cast<double>(form.TotalQueued);
    return point;
}

Point RunPoint(const Settings& settings, double offered) {
    return *RunPoint(settings, offered, nullptr);
}

} // namespace maclab::sweep
