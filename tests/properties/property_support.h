// Shared pieces of the property tests: the bounded run of the test command, the rule by which a
// property and its kept counterexample share one check, and generators more than one uses.
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

#include <cstddef>
#include <utility>
#include <vector>

namespace prop {

// The run of the test command: a few dozen cases per property from a fixed seed.
inline constexpr const char* kBoundedRun = "max_success=25 seed=20261209";

// One of the values, shrinking towards the first (RapidCheck's gen::element does not shrink).
template <typename T>
rc::Gen<T> OneOf(std::vector<T> values) {
    return rc::gen::map(rc::gen::inRange<size_t>(0, values.size()), [values](size_t i) { return values[i]; });
}

// A case of one to `most` steps, each drawn from the whole of its range (RapidCheck would narrow a
// range at small sizes); a failing case shrinks by leaving out the steps it does not need.
template <typename Case, typename Step>
rc::Gen<Case> CaseOfSteps(int most, rc::Gen<Step> step) {
    auto steps = rc::gen::resize(
        most, rc::gen::nonEmpty(rc::gen::container<std::vector<Step>>(rc::gen::resize(100, std::move(step)))));
    return rc::gen::map(std::move(steps), [](std::vector<Step> s) { return Case{std::move(s)}; });
}

}  // namespace prop
