// The names the user sees for the schemes and the topologies, the codes the
// rules use for them, and the constants of the schemes that depend on the
// medium.  Every list, lookup and tool takes them from here.
#pragma once

#include <array>
#include <string_view>

#include "core/numbers.h"

namespace maclab {

// Topology codes.
enum : Integer { TopoBus = 0, TopoStar = 1, TopoRing = 2, TopoSpace = 3, TopoWideSpace = 4 };
constexpr int TopologyCount = 5;

// The schemes, recognised by the exact text of the scheme box.
enum class Scheme {
    Other,
    Aloha,
    SlottedAloha,
    Csma,
    CsmaCd,
    CsmaCdR,
    RtsCts,
    TokenPassing,
    Polling
};

struct SchemeName {
    Scheme Code;
    std::string_view Text;
    bool Listed; // offered in the scheme box's list (else reached by typing)
};

// In the order of the scheme box's list.
constexpr std::array<SchemeName, 8> SchemeNames = {{
    {Scheme::Aloha, "ALOHA", true},
    {Scheme::SlottedAloha, "Slotted ALOHA", true},
    {Scheme::Csma, "CSMA", true},
    {Scheme::CsmaCd, "CSMA/CD", true},
    {Scheme::CsmaCdR, "CSMA/CD + R", true},
    {Scheme::TokenPassing, "Token Passing", true},
    {Scheme::Polling, "Polling", true},
    {Scheme::RtsCts, "RTS/CTS", true},
}};

// The scheme a text names exactly (case and blanks count), or Scheme::Other.
constexpr Scheme SchemeFromText(std::string_view text) {
    for (const SchemeName& s : SchemeNames)
        if (s.Text == text) return s.Code;
    return Scheme::Other;
}

// One topology: its name and what the schemes do differently on its medium.
struct TopologyInfo {
    Integer Code;
    std::string_view Name;
    // Slotted ALOHA: slot = PacketLength + SlotExtra, and on the Ring also
    // + CInt(NodeCount) * (PathLength + 3), once around the ring.
    double SlotExtra;
    bool SlotGoesAround;
    // "CSMA/CD + R": the backoff slot in ticks, about the longest round trip.
    Long BackoffSlot;
    // Reliable transfer: the wait for an acknowledgement is
    // AckWaitFixed + AckWaitPerStation * NodeCount + the random part.
    double AckWaitFixed;
    double AckWaitPerStation;
};

// Indexed by the topology code, and compared with a typed name in this order.
constexpr std::array<TopologyInfo, TopologyCount> Topologies = {{
    {TopoBus, "Bus", 26, false, 52, 50, 0},
    {TopoStar, "Star", 0, false, 32, 60, 0},
    {TopoRing, "Ring", 0, true, 16, 0, 10},
    {TopoSpace, "Space", 9, false, 16, 50, 0},
    {TopoWideSpace, "Wide Space", 9, false, 16, 50, 0},
}};

// The order of the topology box's list.
constexpr std::array<Integer, TopologyCount> TopologyListOrder = {TopoStar, TopoRing, TopoBus,
                                                                  TopoSpace, TopoWideSpace};

// The status texts of the transmitter and receiver states; empty for the
// acknowledgement states 8, 10 and 12, whose label keeps what it showed.
constexpr std::string_view TxStateCaption(Long state) {
    constexpr std::array<std::string_view, 15> captions = {"",
                                                           "TxIdle",
                                                           "WaitingForCTS",
                                                           "WaitingForACK",
                                                           "WaitingForOK",
                                                           "OK2Send",
                                                           "Sending",
                                                           "SendingControl",
                                                           "",
                                                           "Finishing",
                                                           "",
                                                           "Finished",
                                                           "",
                                                           "NetworkBusy",
                                                           "Collided"};
    return state >= 0 && state < 15 ? captions[static_cast<std::size_t>(state)] : "";
}
constexpr std::string_view RxStateCaption(Long state) {
    constexpr std::array<std::string_view, 5> captions = {"", "RxIdle", "Receiving", "Stripping",
                                                          "Monitoring"};
    return state >= 0 && state < 5 ? captions[static_cast<std::size_t>(state)] : "";
}

constexpr const TopologyInfo& TopologyOf(Integer code) {
    return Topologies[code >= 0 && code < TopologyCount ? code : Integer{TopoStar}];
}

} // namespace maclab
