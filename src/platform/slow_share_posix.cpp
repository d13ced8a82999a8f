// The wait of every disk call on a slow share, which test builds read from VERSWEEP_TEST_CALL_DELAY_MS.
#include "platform/slow_share_posix.h"

#ifdef VERSWEEP_TEST_HOOKS

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/file_system.h"

namespace versweep::platform {

namespace {

using Milliseconds = std::chrono::milliseconds;

// Anything but a whole number of milliseconds up to a minute means no delay.
Milliseconds::rep DelayFromEnvironment()
{
    constexpr Milliseconds::rep kLongest = 60'000;
    const char* text = std::getenv("VERSWEEP_TEST_CALL_DELAY_MS");
    if (text == nullptr)
        return 0;
    const std::string_view digits(text);
    Milliseconds::rep delay = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), delay);
    if (error != std::errc() || end != digits.data() + digits.size() || delay < 0 || delay > kLongest)
        return 0;
    return delay;
}

// Read before main, while no other thread could be changing the environment.
std::atomic<Milliseconds::rep> g_callDelayMs{DelayFromEnvironment()};

} // namespace

void WaitAsASlowShare()
{
    if (const auto delay = g_callDelayMs.load(std::memory_order_relaxed); delay > 0)
        std::this_thread::sleep_for(Milliseconds(delay));
}

void ReadCallDelayForTests()
{
    g_callDelayMs = DelayFromEnvironment();
}

} // namespace versweep::platform

#endif
