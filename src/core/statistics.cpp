// Utilisation and efficiency, refreshed every tenth tick.
#include <cmath>

#include "core/form1.h"

namespace maclab {

void Form1::RefreshStatistics() {
    const double u = static_cast<double>(TotalReceived) * PacketLength / (TickCount * 1.00000001);
    if (Running)
        lblUtilisation.Caption = WholeText(static_cast<long long>(std::floor(u * 100 + 0.5)));
    if (TotalQueued > 0)
        lblEfficiency.Caption = WholeText(static_cast<long long>(
            std::floor(static_cast<double>(TotalReceived) * 100.0001 / TotalQueued)));
    else
        lblEfficiency.Caption = "--";
}

} // namespace maclab
