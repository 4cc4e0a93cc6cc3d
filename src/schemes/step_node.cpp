// Stand-in station step until the station machine is written: every station
// stays silent, so tests can drive the medium through Output directly.
#include "core/form1.h"

namespace maclab {

void Form1::StepNode(Integer i) { (void)i; }

} // namespace maclab
