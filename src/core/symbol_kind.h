// What a symbol on the medium is, told by its colour, and the mark a front
// end draws inside its ring while "Symbols" is pressed, so that no symbol is
// told by colour alone.  The window and the page take both from here.
#pragma once

#include <string_view>

#include "core/form1.h"

namespace maclab {

enum class SymbolKind : int {
    Silence = 0,
    Address, // a station's own colour
    Data,    // the pale tint of it
    End,     // black
    Garbled, // red
    Start,   // white, before an RTS or a CTS
    Rts,     // grey 192
    Cts,     // grey 240
    Token,   // grey 224: the token or a poll
    Ack,     // grey 248
    Other,   // a colour no rule puts on the medium
};
constexpr int SymbolKinds = static_cast<int>(SymbolKind::Other) + 1;

// The kind of a colour as the rules put it on the medium.  Silence is the
// rules' background colour, or the colour a front end shows it in.
inline SymbolKind SymbolKindOf(const Form1& f, Long colour) {
    if (colour == f.BackColour || colour == f.Medium.BackColor) return SymbolKind::Silence;
    if (colour == EndMarker) return SymbolKind::End;
    if (colour == CollisionColour) return SymbolKind::Garbled;
    if (colour == f.ColourWhite) return SymbolKind::Start;
    if (colour == f.ColourGrey192) return SymbolKind::Rts;
    if (colour == f.ColourGrey240) return SymbolKind::Cts;
    if (colour == f.ColourGrey224) return SymbolKind::Token;
    if (colour == f.ColourGrey248) return SymbolKind::Ack;
    for (const Node& s : f.NodeTable) {
        if (colour == s.AddressColour) return SymbolKind::Address;
        if (colour == s.DataColour) return SymbolKind::Data;
    }
    return SymbolKind::Other;
}

// The mark of each kind: a letter, none for silence.
constexpr std::string_view SymbolMark(SymbolKind kind) {
    constexpr std::string_view marks[SymbolKinds] = {"",  "A", "D", "E", "X", "W",
                                                     "R", "C", "T", "K", "?"};
    return marks[static_cast<int>(kind)];
}

} // namespace maclab
