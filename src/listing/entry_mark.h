// Why a listed entry is checked or not: the record each item keeps beside its check state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace versweep {

/// What decided an entry's check state last.
enum class MarkReason : std::uint8_t
{
    None,          ///< nothing yet (the header, an item added outside a listing pass)
    Older,         ///< below its title's kept versions under both readings of the version
    BlackList,     ///< its title is on the black list
    WhiteList,     ///< its title is on the white list
    Newest,        ///< among its title's newest versions under both readings
    NoVersion,     ///< its name holds no version to compare
    OnlyVersion,   ///< the only entry of its title with a version
    AmbiguousKept, ///< kept because one reading of the versions puts it among the newest
    Empty,         ///< checked by the empty-folder command
    Group,         ///< checked or unchecked by its group tag's command
    Hand,          ///< toggled by the user
};

/// The stable name of a reason, as the JSON listing gives it.
constexpr std::string_view ReasonName(MarkReason reason)
{
    switch (reason) {
    case MarkReason::None:
        return "none";
    case MarkReason::Older:
        return "older";
    case MarkReason::BlackList:
        return "black_list";
    case MarkReason::WhiteList:
        return "white_list";
    case MarkReason::Newest:
        return "newest";
    case MarkReason::NoVersion:
        return "no_version";
    case MarkReason::OnlyVersion:
        return "only_version";
    case MarkReason::AmbiguousKept:
        return "ambiguous_kept";
    case MarkReason::Empty:
        return "empty";
    case MarkReason::Group:
        return "group";
    case MarkReason::Hand:
        return "hand";
    }
    return "none";
}

/// What the listing pass learned about one entry, kept with it until the next pass.
struct EntryMark
{
    MarkReason reason = MarkReason::None;
    /// The two readings of its title's versions keep different entries.
    bool ambiguous = false;
    /// For MarkReason::Older: the name of the newest kept entry of its title.
    std::string supersededBy;
    /// The title as the marking compared it (upper-cased key); empty when it was not compared.
    std::string titleKey;
};

} // namespace versweep
