// The marking loop as the listing pass runs it: every entry in turn against every unconsumed entry.
#include "reference_marking.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "release/release_name.h"
#include "tools/text_tools.h"

namespace versweep::test {

namespace {

double ValueOf(const std::string& name)
{
    return VersionValue(ExtractVersionText(name));
}

std::string KeyOf(const std::string& name)
{
    return UpperCaseAscii(NormalizeTitle(name));
}

std::vector<std::uint64_t> ComponentsOf(const std::string& name)
{
    return ComponentVersionKey(ExtractVersionText(name));
}

// Which of `members` have a reading among the `keep` highest distinct ones; a zero reading ranks nowhere.
template <typename Reading>
std::vector<std::size_t> TopOf(const std::vector<std::size_t>& members, const std::vector<std::string>& names,
                               Reading (*read)(const std::string&), std::size_t keep)
{
    std::vector<Reading> readings;
    for (const std::size_t j : members) {
        if (read(names[j]) != Reading{}) {
            readings.push_back(read(names[j]));
        }
    }
    std::sort(readings.begin(), readings.end(), std::greater<>());
    readings.erase(std::unique(readings.begin(), readings.end()), readings.end());
    readings.resize(std::min(readings.size(), keep));
    std::vector<std::size_t> top;
    for (const std::size_t j : members) {
        if (std::find(readings.begin(), readings.end(), read(names[j])) != readings.end()) {
            top.push_back(j);
        }
    }
    return top;
}

} // namespace

MarkingResult ReferenceMarkDuplicates(const MarkingInput& input)
{
    // Consuming an entry empties its name, so the loop works on its own copy.
    std::vector<std::string> names = input.names;
    const std::size_t count = names.size();
    MarkingResult result;
    result.checked.assign(count, false);
    result.dropped.assign(count, false);
    StringList scratch;

    for (std::size_t i = 0; i < count; ++i) {
        if (names[i].empty()) {
            continue;
        }
        std::vector<std::size_t> keep{i};
        double best = ValueOf(names[i]);
        bool matched = false;

        // No version: nothing to compare against, so it is consumed as it stands.
        if (best == 0) {
            names[i].clear();
            if (input.onlyDuplicate) {
                result.dropped[i] = true;
            }
            continue;
        }
        // Asked before the black list, so a title on both lists is left alone. Neither case consumes
        // the entry, so another entry of the same title still meets it later.
        if (MatchesNameList(NormalizeTitle(names[i]), input.whiteList, scratch)) {
            continue;
        }
        if (MatchesNameList(NormalizeTitle(names[i]), input.blackList, scratch)) {
            result.checked[i] = true;
            continue;
        }

        // Every other unconsumed entry, before or after i, is compared by its upper-cased key.
        for (std::size_t j = 0; j < count; ++j) {
            if (j == i || names[j].empty()) {
                continue;
            }
            if (KeyOf(names[i]) != KeyOf(names[j])) {
                continue;
            }
            matched = true;
            const double v = ValueOf(names[j]);
            if (v > best) {
                // A newer version supersedes everything held so far.
                for (const std::size_t kept : keep) {
                    result.checked[kept] = true;
                }
                keep = {j};
                best = v;
            } else if (v < best) {
                result.checked[j] = true;
            } else {
                keep.push_back(j);
            }
            names[j].clear();
        }

        if (input.onlyDuplicate && !matched) {
            result.dropped[i] = true;
        }
        names[i].clear();
    }
    return result;
}

MarkingResult ReferenceKeepNewest(const MarkingInput& input)
{
    MarkingResult result = ReferenceMarkDuplicates(input);
    result.checked.assign(input.names.size(), false);
    StringList scratch;
    for (std::size_t i = 0; i < input.names.size(); ++i) {
        const std::string& name = input.names[i];
        const double value = name.empty() ? 0 : ValueOf(name);
        if (value == 0 || MatchesNameList(NormalizeTitle(name), input.whiteList, scratch)) {
            continue;
        }
        if (MatchesNameList(NormalizeTitle(name), input.blackList, scratch)) {
            result.checked[i] = true;
            continue;
        }
        const std::string key = KeyOf(name);
        std::vector<double> values;
        for (std::size_t j = 0; j < input.names.size(); ++j) {
            const std::string& other = input.names[j];
            const double otherValue = other.empty() ? 0 : ValueOf(other);
            if (otherValue != 0 && KeyOf(other) == key) {
                values.push_back(otherValue);
            }
        }
        std::sort(values.begin(), values.end(), std::greater<>());
        values.erase(std::unique(values.begin(), values.end()), values.end());
        values.resize(std::min(values.size(), static_cast<std::size_t>(input.keepCount)));
        result.checked[i] = std::find(values.begin(), values.end(), value) == values.end();
    }
    return result;
}

MarkingResult ReferenceTwoReadings(const MarkingInput& input)
{
    MarkingResult result = input.keepCount > 1 ? ReferenceKeepNewest(input) : ReferenceMarkDuplicates(input);
    result.ambiguous.assign(input.names.size(), false);
    const auto keep = static_cast<std::size_t>(std::max(1, input.keepCount));
    StringList scratch;
    std::vector<std::string> titlesDone;
    for (std::size_t i = 0; i < input.names.size(); ++i) {
        const std::string& name = input.names[i];
        if (name.empty() || std::find(titlesDone.begin(), titlesDone.end(), KeyOf(name)) != titlesDone.end()) {
            continue;
        }
        titlesDone.push_back(KeyOf(name));
        if (MatchesNameList(NormalizeTitle(name), input.whiteList, scratch) ||
            MatchesNameList(NormalizeTitle(name), input.blackList, scratch)) {
            continue;
        }
        // The title's entries in list order; those from its first one with a value on are compared.
        std::vector<std::size_t> members;
        std::vector<std::size_t> compared;
        for (std::size_t j = 0; j < input.names.size(); ++j) {
            const std::string& other = input.names[j];
            if (other.empty() || KeyOf(other) != KeyOf(name)) {
                continue;
            }
            members.push_back(j);
            if (!compared.empty() || ValueOf(other) != 0) {
                compared.push_back(j);
            }
        }
        if (compared.size() < 2) {
            continue;
        }
        const std::vector<std::size_t> byValue = TopOf(compared, input.names, ValueOf, keep);
        const std::vector<std::size_t> byComponents = TopOf(compared, input.names, ComponentsOf, keep);
        if (byValue == byComponents) {
            continue;
        }
        for (const std::size_t j : members) {
            result.ambiguous[j] = true;
        }
        for (const std::size_t j : compared) {
            const bool kept = std::find(byValue.begin(), byValue.end(), j) != byValue.end() ||
                              std::find(byComponents.begin(), byComponents.end(), j) != byComponents.end();
            result.checked[j] = !kept && (ValueOf(input.names[j]) != 0 || keep == 1);
        }
    }
    return result;
}

} // namespace versweep::test
