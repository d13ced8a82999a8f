// A slow network share as test builds can make every disk call of the POSIX platform layer: each such call
// waits first. Shared by the platform layer's POSIX sources; nothing in a build without tests.
#pragma once

namespace versweep::platform {

#ifdef VERSWEEP_TEST_HOOKS
/// Waits the milliseconds VERSWEEP_TEST_CALL_DELAY_MS names (none when it is unset), read as the program
/// starts and again by ReadCallDelayForTests.
void WaitAsASlowShare();
#else
inline void WaitAsASlowShare() {}
#endif

} // namespace versweep::platform
