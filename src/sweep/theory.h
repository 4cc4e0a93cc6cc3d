// Classical throughput formulas of the ALOHA family, and the same formulas
// worked out for this simulator's Star medium.
//
// G is the offered traffic in frames per frame time over the whole network;
// S the throughput (share of time carrying frames that arrive intact); the
// efficiency is S / G, the probability that a frame gets through.
#pragma once

#include <algorithm>
#include <cmath>

namespace maclab::theory {

// Pure ALOHA, infinitely many stations: a frame is hit by any other start
// within one frame time before or after its own start.
inline double PureAlohaEfficiency(double g) {
    return std::exp(-2 * g);
}
inline double PureAlohaThroughput(double g) {
    return g * PureAlohaEfficiency(g);
}

// Slotted ALOHA, infinitely many stations: only starts in the same slot hit.
inline double SlottedAlohaEfficiency(double g) {
    return std::exp(-g);
}
inline double SlottedAlohaThroughput(double g) {
    return g * SlottedAlohaEfficiency(g);
}

// N stations, each attempting with probability p = G / N per frame time.
inline double AttemptProbability(double g, int stations) {
    return std::clamp(g / stations, 0.0, 1.0);
}
inline double PureAlohaEfficiency(double g, int stations) {
    return std::pow(1 - AttemptProbability(g, stations), 2.0 * (stations - 1));
}
inline double SlottedAlohaEfficiency(double g, int stations) {
    return std::pow(1 - AttemptProbability(g, stations), stations - 1.0);
}

// ---- The Star medium of this simulator, unreliable transfer ----
//
// Arrivals: each station draws once per tick and gets a packet with
// probability a = G / (L * N), L the packet length in ticks (symbols).  All
// spokes have the same length, so the hub sees every frame with the same
// delay, and two frames are garbled exactly when their L-tick spans overlap
// at the hub: the starts lie within L - 1 ticks of each other.  A sender
// never hears its own frame, and a receiver that is sending still receives.
//
// Queueing is ignored: a packet is taken to start in the tick after it
// arrives.  (A station that is busy delays the start; its long-run start
// rate is still a, and its own frames never overlap each other.)

inline double ArrivalProbability(double g, int stations, double length) {
    return std::clamp(g / length / stations, 0.0, 1.0);
}

// Pure ALOHA on Star: the vulnerable period is 2L - 1 ticks, starts of any
// of the N - 1 other stations within L - 1 ticks either side.
inline double StarAlohaEfficiency(double g, int stations, double length) {
    const double a = ArrivalProbability(g, stations, length);
    return std::pow(1 - a, (2 * length - 1) * (stations - 1));
}

// Slotted ALOHA on Star (slot = L ticks): a station sends in a slot when a
// packet arrived during the L ticks before it, q = 1 - (1 - a)^L.  A frame
// survives when no other station sends in its slot.  But frames of adjacent
// slots follow each other with no gap, and a receiver only opens a frame
// after silence, an end marker or an acknowledgement marker: when the slot
// before carried a collision, its last symbol is garbled and the next frame's
// address is not recognised, so that frame is lost as well.  Hence the
// extra factor: no collision among the other N - 1 stations in the slot
// before (the sender itself cannot have sent in it, since after a frame it
// still shows "Finishing" at the next slot start).
inline double StarSlottedAlohaEfficiency(double g, int stations, double length) {
    const double a = ArrivalProbability(g, stations, length);
    const double q = 1 - std::pow(1 - a, length);
    const double others = stations - 1.0;
    const double alone = std::pow(1 - q, others);
    const double previousCollided = 1 - alone - others * q * std::pow(1 - q, others - 1);
    return alone * (1 - previousCollided);
}

} // namespace maclab::theory
