// The text forms in which the runner shows what the window would show: the
// symbols on the medium, the drawing operations, the tick lines, the panel.
#pragma once

#include <ostream>
#include <string>

#include "core/form1.h"
#include "core/surface.h"

namespace maclab {

// Appends the symbol of a colour on the medium: "." silence, "X" collision,
// "E" end marker, "W" "R" "C" "T" "K" the markers, "A<k>"/"d<k>" the address
// and data colours of station k, "#<n>" any other packed colour.
void AppendSymbol(std::string& text, const Form1& form, Long colour);

// Prints every drawing operation while tracing is on.  A clear is printed only
// when the last printed drawing line was not a clear already.
class TraceSurface final : public Surface {
  public:
    TraceSurface(const Form1& form, std::ostream& out) : form_(form), out_(out) {}
    void SetTracing(bool on) { tracing_ = on; }

    void Clear() override;
    void DrawRing(Long x, Long y, Integer size, Long colour) override;
    void DrawBusSegment(Long x, Long y) override;
    void Repaint(RepaintTarget target, int index) override;
    bool Draws() const override { return tracing_; }

  private:
    void Emit(const std::string& line, bool isClear);

    const Form1& form_;
    std::ostream& out_;
    bool tracing_ = false;
    bool lastPrintedWasClear_ = false;
    std::string line_;
};

// "t=T <station> ... | q=Q s=S r=R" for the tick that has just completed.
void WriteTickLine(const Form1& form, std::ostream& out);
// "summary t=T q=Q s=S r=R".
void WriteSummary(const Form1& form, std::ostream& out);
// The panel as the user sees it: texts, buttons, totals, decorations, stations.
void WritePanel(const Form1& form, std::ostream& out);

} // namespace maclab
