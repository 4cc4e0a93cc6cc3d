// The text forms of symbols, drawing operations and the panel snapshot.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "runner/trace.h"

using namespace maclab;

namespace {

class RunnerTrace : public ::testing::Test {
  protected:
    void SetUp() override { form->Form_Load(); }
    std::string Symbol(Long colour) {
        std::string text;
        AppendSymbol(text, *form, colour);
        return text;
    }
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
};

} // namespace

TEST_F(RunnerTrace, EveryColourOnTheMediumHasItsSymbol) {
    EXPECT_EQ(Symbol(form->BackColour), ".");
    EXPECT_EQ(Symbol(255), "X");
    EXPECT_EQ(Symbol(0), "E");
    EXPECT_EQ(Symbol(RGB(255, 255, 255)), "W");
    EXPECT_EQ(Symbol(RGB(192, 192, 192)), "R");
    EXPECT_EQ(Symbol(RGB(240, 240, 240)), "C");
    EXPECT_EQ(Symbol(RGB(224, 224, 224)), "T");
    EXPECT_EQ(Symbol(RGB(248, 248, 248)), "K");
    EXPECT_EQ(Symbol(RGB(1, 2, 3)), "#197121");
    // Every station with controls has two colours of its own, told apart.
    for (int k = 0; k < StationControls; ++k) {
        EXPECT_EQ(Symbol(form->NodeTable[k].AddressColour), "A" + std::to_string(k));
        EXPECT_EQ(Symbol(form->NodeTable[k].DataColour), "d" + std::to_string(k));
    }
}

TEST_F(RunnerTrace, DrawingIsPrintedWhileTracingAndClearsAreNotRepeated) {
    std::ostringstream out;
    TraceSurface surface(*form, out);
    surface.Clear(); // not tracing: nothing, and it does not count
    surface.SetTracing(true);
    surface.Clear();
    surface.Clear();
    surface.DrawRing(100, -200, 11, form->NodeTable[2].DataColour);
    surface.DrawBusSegment(480, 4800);
    surface.Repaint(RepaintTarget::EndPiece, 1);
    surface.Repaint(RepaintTarget::Hub, 0);
    surface.Repaint(RepaintTarget::DropLine, 23);
    surface.Clear();
    surface.SetTracing(false);
    surface.DrawRing(1, 2, 3, 255); // unprinted drawing does not count either
    surface.SetTracing(true);
    surface.Clear();
    EXPECT_EQ(out.str(),
              "clear\nring 100 -200 11 d2\nbar 480 4800\nrepaint Shape4(1)\nrepaint Shape1\n"
              "repaint lneDrop(23)\nclear\n");
}

TEST_F(RunnerTrace, PanelPositionsAreRoundedHalfToEven) {
    form->shpNode[0].Left = 2.5f;
    form->shpNode[0].Top = 3.5f;
    form->lneDrop[0].X1 = -0.5f;
    form->lneDrop[0].Y1 = 4799.49f;
    form->lneDrop[0].X2 = 1e12f; // beyond any window: held at the largest whole number
    form->lneDrop[0].Y2 = 0.75f;
    std::ostringstream out;
    WritePanel(*form, out);
    EXPECT_NE(out.str().find(
                  "node 0 shown=1 left=2 top=4 fill=" + std::to_string(form->shpNode[0].FillColor) +
                  " border=" + std::to_string(form->shpNode[0].BorderColor) +
                  " button=1 drop=1,0,4799,2147483647,1 labels=0 tx=\"\" rx=\"\" q=\"\"\n"),
              std::string::npos)
        << out.str();
}

TEST_F(RunnerTrace, TickLineListsEveryStepInOrder) {
    // Two stations first: the edit resets the network, so the state to print
    // is set after it.
    form->UserEdit(form->cmbNodes, "2");
    Node& s = form->NodeTable[1];
    form->TickCount = 12;
    form->TotalQueued = 9;
    form->TotalSent = 8;
    form->TotalReceived = 7;
    s.TxState = 6;
    s.RxState = 2;
    s.QueueCount = 3;
    s.ControlPending = 1;
    s.TxProgress = 4;
    s.RxProgress = 5;
    s.TxTimer = 77;
    s.HoldsToken = VbTrue;
    s.Output = form->NodeTable[1].AddressColour;
    s.Heard = 255;
    std::ostringstream out;
    WriteTickLine(*form, out);
    EXPECT_EQ(out.str(), "t=12 0:1,1,0,0,0,0,0,0,.,. 1:6,2,3,1,4,5,77,1,A1,X | q=9 s=8 r=7\n");
}
