// The marking step in one pass per title: entries are grouped by title key, each group is resolved alone.
#include "listing/duplicate_marking.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "release/release_name.h"
#include "tools/text_tools.h"

namespace versweep {

namespace {

// An entry's key and value never change during the step, so they are computed once.
struct Entry
{
    std::size_t index = 0;
    double value = 0.0;
};

// Whether a member is among its title's newest versions under each reading.
struct Kept
{
    bool byValue = false;
    bool byComponents = false;
};

class GroupResolver
{
public:
    GroupResolver(const MarkingInput& input, MarkingResult& result)
        : m_input(input), m_result(result), m_keep(static_cast<std::size_t>(std::max(1, input.keepCount)))
    {}

    // `members` are the unconsumed entries of one title key in list order. Groups never touch each
    // other: an entry is only ever compared with entries of its own key.
    void Resolve(std::span<const Entry> members)
    {
        // Entries without a version that come before the first versioned one get their own turn
        // first and are consumed unchecked; nobody of their title can meet them afterwards.
        std::size_t first = 0;
        while (first < members.size() && members[first].value == 0.0) {
            Drop(members[first].index);
            m_result.reasons[members[first].index] = MarkReason::NoVersion;
            ++first;
        }
        if (first == members.size()) {
            return;
        }

        // The lists see the upper-cased title, which is the same for every member of the key, so
        // one verdict holds for the whole group.
        const std::string title = NormalizeTitle(m_input.names[members[first].index]);
        const bool white = MatchesNameList(title, m_input.whiteList, m_scratch);
        const bool black = !white && MatchesNameList(title, m_input.blackList, m_scratch);
        if (white || black) {
            // A listed title never sweeps: each member keeps its own turn, where a versionless one is
            // still consumed before the lists are asked.
            for (const Entry& member : members.subspan(first)) {
                if (member.value == 0.0) {
                    Drop(member.index);
                    m_result.reasons[member.index] = MarkReason::NoVersion;
                } else {
                    m_result.checked[member.index] = black;
                    m_result.reasons[member.index] = black ? MarkReason::BlackList : MarkReason::WhiteList;
                }
            }
            return;
        }

        const std::span<const Entry> compared = members.subspan(first);
        if (compared.size() == 1) {
            Drop(compared.front().index);
            m_result.reasons[compared.front().index] = MarkReason::OnlyVersion;
            return;
        }
        if (!Decide(compared)) {
            for (const Entry& member : members) {
                m_result.ambiguous[member.index] = true;
            }
            ++m_result.ambiguousTitles;
        }
    }

private:
    void Drop(std::size_t index)
    {
        if (m_input.onlyDuplicate) {
            m_result.dropped[index] = true;
        }
    }

    // Marks the members from the title's first versioned entry on; returns whether both readings keep
    // the same ones. An entry without a value may still have components ("0.0001" reads as 0): the
    // component reading ranks it, so it can never be checked while it is the newest that way.
    bool Decide(std::span<const Entry> members)
    {
        m_componentKeys.clear();
        for (const Entry& member : members) {
            m_componentKeys.push_back(ComponentVersionKey(ExtractVersionText(m_input.names[member.index])));
        }
        const double lowestValue = LowestKeptValue(members);
        const std::vector<std::uint64_t>* lowestComponents = LowestKeptComponents();

        m_kept.assign(members.size(), Kept{});
        bool agree = true;
        std::size_t versions = 0;
        std::size_t newest = members.size();
        for (std::size_t k = 0; k < members.size(); ++k) {
            Kept& kept = m_kept[k];
            kept.byValue = members[k].value != 0.0 && members[k].value >= lowestValue;
            kept.byComponents = !m_componentKeys[k].empty() && m_componentKeys[k] >= *lowestComponents;
            agree = agree && kept.byValue == kept.byComponents;
            if (members[k].value != 0.0 || !m_componentKeys[k].empty()) {
                ++versions;
            }
            // The successor named to older entries: the newest kept one by components, then by value.
            if ((kept.byValue || kept.byComponents) &&
                (newest == members.size() || m_componentKeys[k] > m_componentKeys[newest] ||
                 (m_componentKeys[k] == m_componentKeys[newest] && members[k].value > members[newest].value))) {
                newest = k;
            }
        }

        for (std::size_t k = 0; k < members.size(); ++k) {
            const std::size_t index = members[k].index;
            const Kept& kept = m_kept[k];
            if (kept.byValue || kept.byComponents) {
                m_result.reasons[index] = versions == 1                       ? MarkReason::OnlyVersion
                                          : kept.byValue && kept.byComponents ? MarkReason::Newest
                                                                              : MarkReason::AmbiguousKept;
            } else if (members[k].value != 0.0 || m_keep == 1) {
                // With one version kept, an entry without a value met by a versioned one counts as
                // below it, as the entry-by-entry loop has it.
                m_result.checked[index] = true;
                m_result.reasons[index] = MarkReason::Older;
                m_result.successors[index] = members[newest].index;
            } else {
                m_result.reasons[index] = MarkReason::NoVersion;
            }
        }
        return agree;
    }

    // The N-th highest distinct value, or the lowest there is. Only the group's own values are sorted,
    // so the step stays near linear however the titles are spread. The first member always has a value.
    double LowestKeptValue(std::span<const Entry> members)
    {
        m_values.clear();
        for (const Entry& member : members) {
            if (member.value != 0.0) {
                m_values.push_back(member.value);
            }
        }
        std::sort(m_values.begin(), m_values.end(), std::greater<>());
        m_values.erase(std::unique(m_values.begin(), m_values.end()), m_values.end());
        return m_values[std::min(m_keep, m_values.size()) - 1];
    }

    // The same for the members' components; null when none has any.
    const std::vector<std::uint64_t>* LowestKeptComponents()
    {
        m_ranked.clear();
        for (const std::vector<std::uint64_t>& components : m_componentKeys) {
            if (!components.empty()) {
                m_ranked.push_back(&components);
            }
        }
        if (m_ranked.empty()) {
            return nullptr;
        }
        std::sort(m_ranked.begin(), m_ranked.end(), [](const auto* a, const auto* b) { return *a > *b; });
        m_ranked.erase(
            std::unique(m_ranked.begin(), m_ranked.end(), [](const auto* a, const auto* b) { return *a == *b; }),
            m_ranked.end());
        return m_ranked[std::min(m_keep, m_ranked.size()) - 1];
    }

    const MarkingInput& m_input;
    MarkingResult& m_result;
    std::size_t m_keep;
    StringList m_scratch;
    std::vector<double> m_values;
    std::vector<std::vector<std::uint64_t>> m_componentKeys;
    std::vector<const std::vector<std::uint64_t>*> m_ranked;
    std::vector<Kept> m_kept; // per member of the group being decided
};

} // namespace

MarkingResult MarkDuplicates(const MarkingInput& input)
{
    const std::size_t count = input.names.size();
    MarkingResult result{std::vector<bool>(count, false), std::vector<bool>(count, false),
                         std::vector<MarkReason>(count, MarkReason::None),
                         std::vector<std::optional<std::size_t>>(count), std::vector<bool>(count, false)};

    // Group ids in order of first appearance; each entry remembers its group.
    std::unordered_map<std::string, std::size_t> groupOfKey;
    groupOfKey.reserve(count);
    std::vector<std::size_t> groupOf(count, 0);
    std::vector<std::size_t> groupSize;
    std::vector<double> values(count, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = input.names[i];
        if (name.empty()) {
            continue;
        }
        const auto [it, inserted] = groupOfKey.try_emplace(UpperCaseAscii(NormalizeTitle(name)), groupSize.size());
        if (inserted) {
            groupSize.push_back(0);
        }
        groupOf[i] = it->second;
        ++groupSize[it->second];
        values[i] = VersionValue(ExtractVersionText(name));
    }

    // Lay the groups out one after another, members in list order, so each is one contiguous span.
    std::vector<std::size_t> groupStart(groupSize.size() + 1, 0);
    for (std::size_t g = 0; g < groupSize.size(); ++g) {
        groupStart[g + 1] = groupStart[g] + groupSize[g];
    }
    std::vector<Entry> entries(groupStart.back());
    std::vector<std::size_t> fill(groupStart.begin(), groupStart.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        if (!input.names[i].empty()) {
            entries[fill[groupOf[i]]++] = Entry{i, values[i]};
        }
    }

    GroupResolver resolver(input, result);
    const std::span<const Entry> all(entries);
    for (std::size_t g = 0; g < groupSize.size(); ++g) {
        resolver.Resolve(all.subspan(groupStart[g], groupSize[g]));
    }
    return result;
}

} // namespace versweep
