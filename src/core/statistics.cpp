// Utilisation and efficiency, refreshed and recorded every tenth tick.
#include <cmath>

#include "core/form1.h"

namespace maclab {

// The share of the ticks that carried delivered packets (received × packet
// length / ticks); dividing by a hair more than the ticks tips an exact half
// per cent down when the label rounds it.
double Form1::UtilisationPercent() const {
    return static_cast<double>(TotalReceived) * PacketLength / (TickCount * 1.00000001) * 100;
}

// Delivered packets per queued packet; the factor lifts an exact whole per
// cent clear of the rounding below it.  Undefined (NaN) while nothing is queued.
double Form1::EfficiencyPercent() const {
    return static_cast<double>(TotalReceived) * 100.0001 / static_cast<double>(TotalQueued);
}

void Form1::RefreshStatistics() {
    HistorySample sample;
    sample.Tick = TickCount;
    sample.Utilisation = UtilisationPercent();
    sample.Efficiency = TotalQueued > 0 ? EfficiencyPercent() : std::nan("");
    for (int i = 0, n = ActiveStations(); i < n; ++i) sample.Waiting += NodeTable[i].QueueCount;
    History.Add(sample);
    if (Running)
        lblUtilisation.Caption =
            WholeText(static_cast<long long>(std::floor(UtilisationPercent() + 0.5)));
    if (TotalQueued > 0)
        lblEfficiency.Caption = WholeText(static_cast<long long>(std::floor(EfficiencyPercent())));
    else
        lblEfficiency.Caption = "--";
}

} // namespace maclab
