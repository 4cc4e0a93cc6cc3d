// Every station's own colour, with a pale tint for its data and a dark shade
// for the border of its shape.
#include "core/form1.h"

namespace maclab {

void Form1::AddPaletteColour(double red, double green, Long blue) {
    if (red == 0 && green == 0 && blue == 0) {
        PaletteIndex = 0; // black restarts the numbering
        return;
    }
    if (PaletteIndex < 0 || PaletteIndex >= StationRecords) return;
    Node& s = NodeTable[PaletteIndex];
    const auto pale = [](double c) { return CInt(256 - (256 - c) / 6); };
    const auto dark = [](double c) { return CInt(c / 4); };
    s.DarkColour = RGB(dark(red), dark(green), dark(blue));
    s.DataColour = RGB(pale(red), pale(green), pale(blue));
    s.AddressColour = RGB(static_cast<int>(red), static_cast<int>(green), static_cast<int>(blue));
    PaletteIndex = static_cast<Integer>(PaletteIndex + 1);
}

void Form1::BuildPalette() {
    static constexpr int base[StationControls][3] = {
        {192, 164, 64},  {0, 252, 0},     {0, 0, 252},     {252, 252, 0},   {252, 0, 252},
        {0, 252, 252},   {160, 0, 0},     {0, 160, 0},     {0, 0, 160},     {252, 160, 0},
        {252, 0, 160},   {0, 252, 160},   {160, 252, 0},   {160, 0, 252},   {0, 160, 252},
        {252, 160, 160}, {160, 252, 160}, {160, 160, 252}, {252, 252, 160}, {252, 160, 252},
        {160, 252, 252}, {160, 160, 0},   {160, 0, 160},   {0, 160, 160}};
    AddPaletteColour(0, 0, 0);
    for (const auto& c : base) AddPaletteColour(c[0], c[1], c[2]);
}

} // namespace maclab
