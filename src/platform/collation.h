// The order in which the lists show names: the user's locale, case ignored, accents kept, ties in byte order.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace versweep::platform {

/// Turns byte-string names (decoded as UTF-8, invalid bytes as U+FFFD) into sort keys whose plain byte
/// order is the order the check list and the file preview show them in: the system's collation for the
/// user's locale, as a file manager sorts. One object serves one thread at a time.
class Collation
{
public:
    /// Collates by the locale named (for example "en_US", "zh_CN"), or by the process's default locale when
    /// null. A locale that cannot be opened, or whose rules tell case apart (the POSIX one, which is what
    /// LANG=C gives), yields to the root locale.
    explicit Collation(const char* locale = nullptr);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    /// The collator's sort key (which holds no zero byte), a zero byte, then the text itself, so texts the
    /// collator finds equal fall in byte order and never in the order they came in.
    std::string SortKey(std::string_view text);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace versweep::platform
