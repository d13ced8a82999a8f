// The marking step in one pass per title: entries are grouped by title key, each group is resolved alone.
#include "scan/duplicate_marking.h"

#include <algorithm>
#include <cstddef>
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

class GroupResolver
{
public:
    GroupResolver(const MarkingInput& input, MarkingResult& result) : m_input(input), m_result(result) {}

    // `members` are the unconsumed entries of one title key in list order. Groups never touch each
    // other: an entry is only ever compared with entries of its own key.
    void Resolve(std::span<const Entry> members)
    {
        // Entries without a version that come before the first versioned one get their own turn
        // first and are consumed unchecked; nobody of their title can meet them afterwards.
        std::size_t first = 0;
        while (first < members.size() && members[first].value == 0.0) {
            Drop(members[first].index);
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
                } else if (black) {
                    m_result.checked[member.index] = true;
                }
            }
            return;
        }

        const std::span<const Entry> compared = members.subspan(first);
        if (compared.size() == 1) {
            Drop(compared.front().index);
        }
        if (m_input.keepCount > 1) {
            KeepNewest(compared);
        } else {
            // The first versioned entry sweeps every later member, versionless ones included, in list
            // order; the comparisons stay exactly the three-way ones of the sweep so that equal values
            // (and values that compare neither way) land in the keep group as they would there.
            Sweep(compared);
        }
    }

private:
    void Drop(std::size_t index)
    {
        if (m_input.onlyDuplicate) {
            m_result.dropped[index] = true;
        }
    }

    void Sweep(std::span<const Entry> members)
    {
        m_keep.assign(1, members.front().index);
        double best = members.front().value;
        for (const Entry& member : members.subspan(1)) {
            if (member.value > best) {
                for (const std::size_t kept : m_keep) {
                    m_result.checked[kept] = true;
                }
                m_keep.assign(1, member.index);
                best = member.value;
            } else if (member.value < best) {
                m_result.checked[member.index] = true;
            } else {
                m_keep.push_back(member.index);
            }
        }
    }

    // The N-th highest distinct value is the lowest one kept. Only the group's own values are sorted, so
    // the step stays near linear however the titles are spread.
    void KeepNewest(std::span<const Entry> members)
    {
        m_values.clear();
        for (const Entry& member : members) {
            if (member.value != 0.0) {
                m_values.push_back(member.value);
            }
        }
        std::sort(m_values.begin(), m_values.end(), std::greater<>());
        m_values.erase(std::unique(m_values.begin(), m_values.end()), m_values.end());
        const auto keep = static_cast<std::size_t>(m_input.keepCount);
        if (m_values.size() <= keep) {
            return;
        }
        const double lowestKept = m_values[keep - 1];
        for (const Entry& member : members) {
            if (member.value != 0.0 && member.value < lowestKept) {
                m_result.checked[member.index] = true;
            }
        }
    }

    const MarkingInput& m_input;
    MarkingResult& m_result;
    StringList m_scratch;
    std::vector<std::size_t> m_keep;
    std::vector<double> m_values;
};

} // namespace

MarkingResult MarkDuplicates(const MarkingInput& input)
{
    const std::size_t count = input.names.size();
    MarkingResult result{std::vector<bool>(count, false), std::vector<bool>(count, false)};

    // Group ids in order of first appearance; each entry remembers its group.
    std::unordered_map<std::string, std::size_t> groupOfKey;
    groupOfKey.reserve(count);
    std::vector<std::size_t> groupOf(count, 0);
    std::vector<std::size_t> groupSize;
    std::vector<double> values(count, 0.0);
    for (std::size_t i = 1; i < count; ++i) {
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
    for (std::size_t i = 1; i < count; ++i) {
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
