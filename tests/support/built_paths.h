// Paths fixed when the tests were built, which the environment may point elsewhere.
#pragma once

#include <cstdlib>
#include <string>

namespace versweep::test {

/// The value of the environment variable `name` when it is set and not empty, else `builtIn`. CI runs the
/// test executables once more as an unprivileged user, from a copy that user can reach, and names the copied
/// program and data this way.
inline std::string BuiltPath(const char* name, const char* builtIn)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : builtIn;
}

} // namespace versweep::test
