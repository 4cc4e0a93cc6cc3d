// Packets entering the queues: random arrivals and the one way into a queue.
#include <algorithm>

#include "core/form1.h"

namespace maclab {

void Form1::QueuePacket(Integer length, Integer source, Integer destination) {
    Resting = false;
    if (!(source < NodeCount && destination < NodeCount)) return;
    if (source < 0 || destination < 0 || source >= StationRecords) return;
    Node& s = NodeTable[source];
    // A full queue refuses the packet; it is not counted as queued.
    if (s.QueueCount >= QueueSlots) return;
    s.QueueLength[s.QueueCount] = length;
    s.QueueDest[s.QueueCount] = destination;
    s.QueueCount = static_cast<Integer>(s.QueueCount + 1);
    TotalQueued = TotalQueued + 1;
    lblTotalQueued.Caption = Str(TotalQueued);
}

// One of the two nearest stations on either side of the source, wrapping
// around; drawn again while it falls on the source itself.
Integer Form1::PickDestination(Integer source) {
    const std::size_t period = RandomPeriod();
    std::size_t attempts = 0;
    for (;;) {
        const float r = Rnd();
        const float t = Sng(static_cast<double>(r) * 5 - 2 + source);
        const auto d = CInt(static_cast<double>(Mod(Int(NodeCount + t), NodeCount)));
        if (d != source) return d;
        // A scripted sequence that fails on every one of its values would
        // repeat itself for ever.
        if (period != 0 && ++attempts >= period) throw EndlessRedraw();
    }
}

void Form1::RandomArrivals() {
    Resting = false;
    const int n = ActiveStations();
    if (n == 0) return;
    const double p = Settings.OfferedTraffic / PacketLength / NodeCount;
    const float ps = Sng(p);
    for (int i = 0; i < n; ++i) {
        const float r = Rnd();
        if (ps > r) {
            const Integer dest = PickDestination(static_cast<Integer>(i));
            QueuePacket(CInt(PacketLength), static_cast<Integer>(i), dest);
        }
    }
}

} // namespace maclab
