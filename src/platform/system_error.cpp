// Errors of operating-system calls, returned as values rather than thrown.
#include "platform/system_error.h"

#include <cstring>

namespace versweep::platform {

SystemError ErrorFromErrno(int errnoValue)
{
    return SystemError{errnoValue, std::strerror(errnoValue)};
}

} // namespace versweep::platform
