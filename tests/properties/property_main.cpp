// Entry of the property tests. Each property runs on a bounded number of generated cases from a
// fixed seed, so that the suite's time and its verdict are the same on every run; RC_PARAMS in the
// environment replaces both (for example RC_PARAMS="max_success=2000" for a long run, or the
// seed RapidCheck printed to repeat a run).
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "property_support.h"

namespace {
// A failed gtest assertion inside a property ends the case as RapidCheck's own assertions do, so
// that RapidCheck sees the case fail and shrinks it; outside a property gtest goes on as usual.
class FailuresEndTheCase : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override {
        using rc::detail::ImplicitParam;
        using rc::detail::param::CurrentPropertyContext;
        if (!result.failed()) return;
        if (ImplicitParam<CurrentPropertyContext>::value() == CurrentPropertyContext::defaultValue()) return;
        std::string where = result.file_name()
                                ? std::string(result.file_name()) + ":" + std::to_string(result.line_number()) + ": "
                                : std::string();
        throw std::runtime_error(where + result.message());
    }
};
}  // namespace

int main(int argc, char** argv) {
    setenv("RC_PARAMS", prop::kBoundedRun, 0);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FailuresEndTheCase);
    return RUN_ALL_TESTS();
}
