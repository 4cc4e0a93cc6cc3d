// The station colours: 24 base colours with their pale and dark shades.
#include <gtest/gtest.h>

#include "core/form1.h"

namespace maclab {
namespace {

struct Row {
    int base[3], pale[3], dark[3];
};

constexpr Row Table[24] = {
    {{192, 164, 64}, {245, 241, 224}, {48, 41, 16}},
    {{0, 252, 0}, {213, 255, 213}, {0, 63, 0}},
    {{0, 0, 252}, {213, 213, 255}, {0, 0, 63}},
    {{252, 252, 0}, {255, 255, 213}, {63, 63, 0}},
    {{252, 0, 252}, {255, 213, 255}, {63, 0, 63}},
    {{0, 252, 252}, {213, 255, 255}, {0, 63, 63}},
    {{160, 0, 0}, {240, 213, 213}, {40, 0, 0}},
    {{0, 160, 0}, {213, 240, 213}, {0, 40, 0}},
    {{0, 0, 160}, {213, 213, 240}, {0, 0, 40}},
    {{252, 160, 0}, {255, 240, 213}, {63, 40, 0}},
    {{252, 0, 160}, {255, 213, 240}, {63, 0, 40}},
    {{0, 252, 160}, {213, 255, 240}, {0, 63, 40}},
    {{160, 252, 0}, {240, 255, 213}, {40, 63, 0}},
    {{160, 0, 252}, {240, 213, 255}, {40, 0, 63}},
    {{0, 160, 252}, {213, 240, 255}, {0, 40, 63}},
    {{252, 160, 160}, {255, 240, 240}, {63, 40, 40}},
    {{160, 252, 160}, {240, 255, 240}, {40, 63, 40}},
    {{160, 160, 252}, {240, 240, 255}, {40, 40, 63}},
    {{252, 252, 160}, {255, 255, 240}, {63, 63, 40}},
    {{252, 160, 252}, {255, 240, 255}, {63, 40, 63}},
    {{160, 252, 252}, {240, 255, 255}, {40, 63, 63}},
    {{160, 160, 0}, {240, 240, 213}, {40, 40, 0}},
    {{160, 0, 160}, {240, 213, 240}, {40, 0, 40}},
    {{0, 160, 160}, {213, 240, 240}, {0, 40, 40}},
};

Long Packed(const int (&c)[3]) {
    return c[0] + 256 * c[1] + 65536 * c[2];
}

TEST(Palette, EveryStationGetsItsRowOfTheTable) {
    Form1 f;
    f.Form_Load();
    for (int k = 0; k < 24; ++k) {
        EXPECT_EQ(f.NodeTable[k].AddressColour, Packed(Table[k].base)) << k;
        EXPECT_EQ(f.NodeTable[k].DataColour, Packed(Table[k].pale)) << k;
        EXPECT_EQ(f.NodeTable[k].DarkColour, Packed(Table[k].dark)) << k;
        EXPECT_NE(f.NodeTable[k].AddressColour, CollisionColour) << k;
        EXPECT_NE(f.NodeTable[k].AddressColour, f.BackColour) << k;
    }
    EXPECT_EQ(f.NodeTable[0].AddressColour, 4236480);
    EXPECT_EQ(f.NodeTable[0].DataColour, 14742005);
    EXPECT_EQ(f.NodeTable[0].DarkColour, 1059120);
    // Record 24 is never shown and gets no colour.
    EXPECT_EQ(f.NodeTable[24].AddressColour, 0);
    EXPECT_EQ(f.NodeTable[24].DataColour, 0);
    EXPECT_EQ(f.PaletteIndex, 24);
}

TEST(Palette, BlackRestartsTheNumberingAndIsNeverAColour) {
    Form1 f;
    f.Form_Load();
    const Long before = f.NodeTable[0].AddressColour;
    f.AddPaletteColour(0, 0, 0);
    EXPECT_EQ(f.PaletteIndex, 0);
    EXPECT_EQ(f.NodeTable[0].AddressColour, before);
    f.AddPaletteColour(0, 252, 0); // an ordinary colour, despite two zeros
    EXPECT_EQ(f.PaletteIndex, 1);
    EXPECT_EQ(f.NodeTable[0].AddressColour, RGB(0, 252, 0));
    EXPECT_EQ(f.NodeTable[0].DataColour, RGB(213, 255, 213));
    EXPECT_EQ(f.NodeTable[0].DarkColour, RGB(0, 63, 0));
    // Halves go to the even neighbour: 2 / 4 = 0.5 -> 0, 6 / 4 = 1.5 -> 2,
    // 3 / 4 = 0.75 -> 1; the pale shades 213.67, 214.33 and 213.83 -> 214.
    f.AddPaletteColour(2, 6, 3);
    EXPECT_EQ(f.NodeTable[1].DarkColour, RGB(0, 2, 1));
    EXPECT_EQ(f.NodeTable[1].DataColour, RGB(214, 214, 214));
}

TEST(Palette, BuildingTwiceGivesTheSameColoursAndResetsKeepThem) {
    Form1 f;
    f.Form_Load();
    std::array<Long, 24> first{};
    for (int k = 0; k < 24; ++k) first[k] = f.NodeTable[k].DataColour;
    f.BuildPalette();
    f.UserPick(f.cmbTopology, "Bus");
    f.cmdStart_Click(0);
    f.cmdStart_Click(1);
    for (int k = 0; k < 24; ++k) EXPECT_EQ(f.NodeTable[k].DataColour, first[k]) << k;
    EXPECT_EQ(f.PaletteIndex, 24);
}

} // namespace
} // namespace maclab
