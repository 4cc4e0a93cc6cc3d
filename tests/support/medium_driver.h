// Drives the medium directly: every station's Output is set by the test and
// the medium step of the current topology moves it, with no station step in
// between.
#pragma once

#include <utility>
#include <vector>

#include "core/form1.h"

namespace maclab::testing {

inline void Open(Form1& f, const char* topology, const char* nodes) {
    f.Form_Load();
    f.UserPick(f.cmbTopology, topology);
    f.UserPick(f.cmbNodes, nodes);
}

// Puts one symbol per station on the medium for one tick (silence for any
// station not named) and moves the medium.
inline void Step(Form1& f, const std::vector<std::pair<int, Long>>& outputs = {}) {
    for (int i = 0; i < f.ActiveStations(); ++i) f.NodeTable[i].Output = f.BackColour;
    for (const auto& [station, colour] : outputs) f.NodeTable[station].Output = colour;
    f.MediumStep();
}

} // namespace maclab::testing
