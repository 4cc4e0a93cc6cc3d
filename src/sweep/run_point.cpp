// One measurement of a sweep on a Form1 of its own.
#include "sweep/run_point.h"

namespace maclab::sweep {

std::optional<Point> RunPoint(const Settings& settings, double offered,
                              const std::function<bool(long long)>& carryOn) {
    Form1 form;
    form.Form_Load();
    Choose(form, form.cmbTopology, settings.Topology);
    Choose(form, form.cmbNodes, Str(settings.Stations));
    // The list writes lengths with a leading blank, as " 10".
    Choose(form, form.cmbLength, " " + NumberText(settings.PacketLength));
    Choose(form, form.cmbScheme, settings.Scheme);
    // The backoff toggle is only on view while "Reliable" is: a user turns
    // Reliable on, sets the backoff, and turns Reliable off again if wanted.
    if (form.chkReliable.Value == 0) form.UserToggle(form.chkReliable);
    if ((form.chkRandom.Value == 1) != settings.RandomBackoff) form.UserToggle(form.chkRandom);
    if (!settings.Reliable) form.UserToggle(form.chkReliable);
    form.UserEdit(form.cmbOT, NumberText(offered));
    form.cmdStart_Click(0);
    for (long long t = 0; t < settings.Ticks;) {
        const long long end = std::min(settings.Ticks, t + CheckEvery);
        for (; t < end; ++t)
            if (form.Timer1.Enabled) form.Timer1_Timer();
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
