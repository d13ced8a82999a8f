// A slow network share for as long as a test needs one: every disk call of the platform layer waits first.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/file_system.h"

namespace versweep::test {

/// Makes every disk call of the platform layer wait `milliseconds` first while it lives (builds with the tests
/// only). A test that fails half-way leaves with it, so the delay never slows the tests after it.
class SlowShare
{
public:
    explicit SlowShare(int milliseconds)
    {
        setenv(kVariable, std::to_string(milliseconds).c_str(), 1);
        platform::ReadCallDelayForTests();
    }
    ~SlowShare()
    {
        unsetenv(kVariable);
        platform::ReadCallDelayForTests();
    }
    SlowShare(const SlowShare&) = delete;
    SlowShare& operator=(const SlowShare&) = delete;
    SlowShare(SlowShare&&) = delete;
    SlowShare& operator=(SlowShare&&) = delete;

private:
    static constexpr const char* kVariable = "VERSWEEP_TEST_CALL_DELAY_MS";
};

} // namespace versweep::test
