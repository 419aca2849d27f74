// Shared pieces of the property tests: the bounded run of the test command, and the rule by which
// a property and its kept counterexample share one check.
//
// A property is written as a check over one generated case (a plain struct with a showValue, so
// that a failure prints the case RapidCheck shrank it to) plus an RC_GTEST_PROP that generates the
// case and calls the check. The smallest case a property ever found failing stays beside it as a
// TEST that calls the same check with that case, so the fault it found can never come back
// unnoticed, whatever the seed.
#pragma once
#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>

namespace prop {

// The run of the test command: a few dozen cases per property from a fixed seed.
inline constexpr const char* kBoundedRun = "max_success=25 seed=20261209";

}  // namespace prop
