#pragma once

// One row of the wait table: a wait of the engine's timing, one place where it is spent,
// the scenario that reaches that place and what it measures there. The row gives its field
// a value set apart from every other field of the timing, so that the same wait measured
// with another field spent in its place falls outside the bounds:
//
//   span x value  <=  shortest measured  <  span x value x tolerance
//
// The lower bound holds because a wait never ends early; it fails when the wait is dropped
// or a shorter field is spent in its place. The upper bound fails when the wait is spent
// twice or a longer field is spent in its place, and, for the tick, when one tick is
// stretched by a sixteenth. The shortest of several measurements is judged: noise only
// ever lengthens one.

#include "tests/updater/WaitScenarios.h"

#include <gtest/gtest.h>

namespace waittest
{
// A wait spent twice, or a longer field spent in its place, exceeds this.
constexpr double twiceCaught = 1.8;
// A tick stretched to 17/16 of its length exceeds this.
constexpr double stretchCaught = 1.03;

struct WaitCase
{
    const char* name;
    const char* field;      // the field of the timing, as UpdaterTiming names it
    double value;           // its value in this case, in ms
    double span;            // the measured span, in units of that value
    double tolerance;
    Scenario scenario;
    const char* place;      // where the wait is spent, and what is measured
    bool ownNetworks = false;   // the scenario makes network namespaces of its own
};

std::ostream& operator<< (std::ostream& out, const WaitCase& c);

// The timing of every row before its own field is set: every pause and the tick short,
// the time-outs long enough for a loaded machine and far apart from the pauses.
UpdaterTiming quietTiming();
UpdaterTiming timingFor (const WaitCase& c);

class Waits : public ::testing::WithParamInterface<WaitCase>, public WaitFixture
{
protected:
    Waits() : WaitFixture (timingFor (GetParam())) {}
};

std::string caseName (const ::testing::TestParamInfo<WaitCase>& info);
}
