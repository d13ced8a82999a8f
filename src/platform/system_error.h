// Errors of operating-system calls, returned as values rather than thrown.
#pragma once

#include <cerrno>
#include <string>
#include <utility>
#include <variant>

// Windows' C runtime lacks this one; the layer reports with it an entry that is no longer the file it was.
#ifndef ESTALE
#define ESTALE 116
#endif

namespace versweep::platform {

/// What an operating-system call reported: its error number and the system's text for it.
struct SystemError
{
    int code = 0;
    std::string message;
};

/// Builds a SystemError from an errno value.
SystemError ErrorFromErrno(int errnoValue);

/// Either a value or the SystemError that prevented it.
template <typename T>
class Result
{
public:
    Result(T value) : m_content(std::move(value)) {}
    Result(SystemError error) : m_content(std::move(error)) {}

    bool HasValue() const { return std::holds_alternative<T>(m_content); }
    explicit operator bool() const { return HasValue(); }

    const T& Value() const& { return std::get<T>(m_content); }
    T& Value() & { return std::get<T>(m_content); }
    T&& Value() && { return std::get<T>(std::move(m_content)); }
    const SystemError& Error() const { return std::get<SystemError>(m_content); }

private:
    std::variant<T, SystemError> m_content;
};

/// The outcome of an operation that yields nothing but may fail.
using Status = Result<std::monostate>;

inline Status Ok()
{
    return Status(std::monostate{});
}

} // namespace versweep::platform
