// Tests of the check list's model: order, the pinned header, check states, user toggles and change notices.
#include "widgets/check_list.h"

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace versweep {
namespace {

using Texts = std::vector<std::string>;

struct CaseName
{
    template <class Case>
    std::string operator()(const testing::TestParamInfo<Case>& tested) const
    {
        return tested.param.name;
    }
};

Texts AllTexts(const CheckList& list)
{
    Texts texts;
    for (int i = 0; i < list.ItemCount(); ++i) {
        texts.push_back(list.ItemText(i));
    }
    return texts;
}

// The list after the texts before `split` and then the rest went in, one at a time or in bulk.
Texts Filled(const Texts& texts, std::size_t split, bool firstInBulk, bool restInBulk)
{
    CheckList list("en_US");
    const Texts parts[] = {{texts.begin(), texts.begin() + split}, {texts.begin() + split, texts.end()}};
    const bool bulk[] = {firstInBulk, restInBulk};
    for (int i = 0; i < 2; ++i) {
        if (bulk[i]) {
            list.AddItems(parts[i]);
            continue;
        }
        for (const std::string& text : parts[i]) {
            list.AddItem(text);
        }
    }
    return AllTexts(list);
}

struct OrderCase
{
    const char* name;
    Texts input;
    Texts expected;
};

class CheckListOrder : public testing::TestWithParam<OrderCase>
{};

TEST_P(CheckListOrder, SameWhicheverWayAndOrderTheItemsComeIn)
{
    const OrderCase& c = GetParam();
    const Texts reversed(c.input.rbegin(), c.input.rend());
    const std::size_t half = c.input.size() / 2;
    EXPECT_EQ(Filled(c.input, 0, false, false), c.expected) << "one by one";
    EXPECT_EQ(Filled(reversed, 0, false, false), c.expected) << "one by one, reversed";
    EXPECT_EQ(Filled(c.input, 0, true, true), c.expected) << "in bulk";
    EXPECT_EQ(Filled(c.input, half, false, true), c.expected) << "in bulk after single adds";
    EXPECT_EQ(Filled(reversed, half, true, true), c.expected) << "two bulks, reversed";
}

const OrderCase kOrderCases[] = {
    {"CaseIgnored", {"beta", "Alpha", "gamma"}, {"Alpha", "beta", "gamma"}},
    {"CaseTiesInByteOrder", {"abc", "ABC", "Abc"}, {"ABC", "Abc", "abc"}},
    {"AccentsCount",
     {"r\xC3\xA9sum\xC3\xA9", "resume", "Resume", "resumf"},
     {"Resume", "resume", "r\xC3\xA9sum\xC3\xA9", "resumf"}},
    {"DigitsBeforeLetters", {"b1", "10", "2", "a"}, {"10", "2", "a", "b1"}},
    {"ReleaseNames",
     {"game.v1.10-GRP", "Game.v1.2-grp", "GAME.v1.1-X", "Gamer.v1-A"},
     {"GAME.v1.1-X", "game.v1.10-GRP", "Game.v1.2-grp", "Gamer.v1-A"}},
    {"InvalidUtf8KeptAndOrderedByBytes", {"a\xFF", "a\xFE", "a", "a\xC3"}, {"a", "a\xC3", "a\xFE", "a\xFF"}},
    {"ZeroByteIgnoredThenByteOrder", {"xy", std::string("x\0y", 3), ""}, {"", std::string("x\0y", 3), "xy"}},
    {"HeadersBeforePunctuation", {"!b", "//z", "_u", "(p", "//a"}, {"//a", "//z", "_u", "!b", "(p"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CheckListOrder, testing::ValuesIn(kOrderCases), CaseName());

TEST(CheckList, BulkAndSingleAddsAgreeOnManyReleaseNames)
{
    std::mt19937 random(7);
    const Texts titles = {"Foo.Bar", "foo.bar", "FOO_BAR", "Zeta", "zeta", "_Tool", "[x]", "a\xFF"};
    Texts names;
    for (int i = 0; i < 3000; ++i) {
        names.push_back(titles[random() % titles.size()] + ".v" + std::to_string(random() % 12) + "." +
                        std::to_string(random() % 30) + "-" + (random() % 2 != 0 ? "GRP" : "grp"));
    }
    const Texts expected = Filled(names, 0, false, false);
    EXPECT_EQ(Filled(names, 0, true, true), expected);
    EXPECT_EQ(Filled(names, 1500, true, true), expected);
    EXPECT_EQ(Filled(names, 1500, false, true), expected);
    EXPECT_EQ(Filled(Texts(names.rbegin(), names.rend()), 0, true, true), expected);
}

TEST(CheckList, HeaderStaysFirstWhateverTheNamesBeginWith)
{
    for (const std::string name :
         {"_x", "[x", "(x", "!x", ".x", "-x", "'x", "\"x", "", " x", "\x01x", "\xFFx", "/x"}) {
        SCOPED_TRACE(name);
        CheckList list("en_US");
        list.AddItem(name);
        EXPECT_EQ(list.AddGroupHeader("/music"), 0);
        EXPECT_NE(list.AddItem(name), 0);
        list.Clear();
        EXPECT_EQ(list.AddGroupHeader("/music"), 0);
        list.AddItems({name, "zzz"});
        EXPECT_EQ(list.ItemText(0) + "|" + list.ItemDisplayText(0), "///music|/music");
        EXPECT_TRUE(list.IsGroupHeader(0));
    }
}

// Case is ignored under every locale, the POSIX one (what ICU makes of LANG=C) included.
TEST(CheckList, AnyLocaleNameGivesAWorkingList)
{
    const char* locales[] = {"en_US", "de_DE",         "zh_CN", "en_US_POSIX", "",
                             "root",  "no_SUCH_place", "@@@;=", nullptr};
    for (const char* locale : locales) {
        SCOPED_TRACE(locale == nullptr ? "default" : locale);
        CheckList list(locale);
        list.AddItems({"beta", "Alpha", "gamma", "Beta2", "!x"});
        list.AddGroupHeader("/d");
        EXPECT_EQ(AllTexts(list), (Texts{"///d", "!x", "Alpha", "beta", "Beta2", "gamma"}));
    }
}

// Every query and change of an index that does not exist is quiet, except ItemText, which raises.
TEST(CheckList, IndexesOutOfRange)
{
    CheckList list("en_US");
    list.AddGroupHeader("/d");
    list.AddItem("a");
    list.SetChecked(1, true);
    for (const int index : {-1, 2, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(list.IsGroupHeader(index));
        EXPECT_EQ(list.ItemDisplayText(index), "");
        EXPECT_FALSE(list.IsChecked(index));
        EXPECT_FALSE(list.IsItemEnabled(index));
        try {
            list.ItemText(index);
            ADD_FAILURE() << "no error raised";
        } catch (const ListIndexError& error) {
            EXPECT_EQ(std::string(error.what()), "List index out of bounds (" + std::to_string(index) + ")");
        }
        list.SetChecked(index, true);
        list.SetItemText(index, "b");
        list.SetItemEnabled(index, false);
        list.DeleteItem(index);
        list.SetSelectedIndex(index);
        EXPECT_EQ(list.SelectedIndex(), -1);
        EXPECT_EQ(AllTexts(list), (Texts{"///d", "a"}));
        EXPECT_EQ(list.CheckedCount(), 1);
    }
}

TEST(CheckList, CheckedCountLeavesHeadersOut)
{
    CheckList list("en_US");
    list.AddGroupHeader("/d");
    list.AddItems({"a", "b", "c"});
    int changes = 0;
    list.SetOnChange([&](int, CheckList::CheckState) { ++changes; });
    list.SetChecked(0, true);
    list.SetChecked(2, true);
    EXPECT_TRUE(list.IsChecked(0));
    EXPECT_EQ(list.CheckedCount(), 1);
    list.SetItemText(2, "//now a header");
    EXPECT_EQ(list.CheckedCount(), 0);
    EXPECT_EQ(changes, 0);
}

TEST(CheckList, SetItemTextKeepsPlaceStateAndNeighbours)
{
    const struct
    {
        int index;
        std::string text;
        bool header;
    } cases[] = {{2, "", false}, {0, "zz", false}, {3, "//x", true}, {1, "zzz", false}, {1, "a", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CheckList list("en_US");
        list.AddGroupHeader("/d");
        list.AddItems({"a", "b", "c"});
        list.SetChecked(c.index, true);
        list.SetItemEnabled(c.index, false);
        list.SetSelectedIndex(c.index);
        Texts expected = AllTexts(list);
        expected[static_cast<std::size_t>(c.index)] = c.text;
        list.SetItemText(c.index, c.text);
        EXPECT_EQ(AllTexts(list), expected);
        EXPECT_TRUE(list.IsChecked(c.index) && !list.IsItemEnabled(c.index));
        EXPECT_EQ(list.SelectedIndex(), c.index);
        EXPECT_EQ(list.IsGroupHeader(c.index), c.header);
    }
}

// After replacements broke the order, later adds still land between neighbours that bracket them.
TEST(CheckList, AddsAfterReplacementsLandBetweenBracketingNeighbours)
{
    for (const bool bulk : {false, true}) {
        SCOPED_TRACE(bulk ? "bulk" : "one by one");
        CheckList list("en_US");
        list.AddItems({"c", "e", "g", "i", "k", "m"});
        list.SetItemText(1, "z");
        list.SetItemText(4, "a");
        const Texts added = {"b", "d", "f", "h", "j", "l", "n", "y"};
        if (bulk) {
            list.AddItems(added);
        } else {
            for (const std::string& text : added) {
                list.AddItem(text);
            }
        }
        const Texts texts = AllTexts(list);
        ASSERT_EQ(texts.size(), 14U);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (std::find(added.begin(), added.end(), texts[i]) != added.end()) {
                EXPECT_TRUE(i == 0 || texts[i - 1] <= texts[i]) << texts[i];
                EXPECT_TRUE(i + 1 == texts.size() || texts[i] <= texts[i + 1]) << texts[i];
            }
        }
    }
}

// One gesture on row `index` (0 is the header, 1 and 2 are items), `times` over; the log holds
// "?s" for every OnChanging asked with new state s and "!s" for every OnChange told s.
struct ToggleCase
{
    const char* name;
    int index;
    bool checked;
    bool enabled;
    bool allowGrayed;
    bool refuse;
    int selectAtRelease; // -2: unchanged
    bool pressed;        // the press came first
    bool inside;         // the release was inside the list
    int times;
    const char* log;
    CheckList::CheckState after;
};

class CheckListToggle : public testing::TestWithParam<ToggleCase>
{};

TEST_P(CheckListToggle, PressThenRelease)
{
    const ToggleCase& c = GetParam();
    CheckList list("en_US");
    list.AddGroupHeader("/d");
    list.AddItems({"a", "b"});
    list.SetChecked(c.index, c.checked);
    list.SetItemEnabled(c.index, c.enabled);
    list.SetAllowGrayed(c.allowGrayed);
    list.SetMark(c.index, {MarkReason::Older, true, "a", "A"});
    std::string log;
    list.SetOnChanging([&](int index, CheckList::CheckState state, bool& allow) {
        EXPECT_EQ(index, c.index);
        log += "?" + std::to_string(state);
        allow = !c.refuse;
    });
    list.SetOnChange([&](int index, CheckList::CheckState state) {
        EXPECT_EQ(index, c.index);
        log += "!" + std::to_string(state);
    });
    for (int i = 0; i < c.times; ++i) {
        list.SetSelectedIndex(c.index);
        if (c.pressed) {
            list.BeginUserToggle();
        }
        if (c.selectAtRelease != -2) {
            list.SetSelectedIndex(c.selectAtRelease);
        }
        list.EndUserToggle(c.inside);
        list.SetSelectedIndex(c.index);
        list.EndUserToggle(true); // the release of a later click on the text alone
    }
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(list.State(c.index), c.after);
    // An applied toggle is the user's word on the entry; the ambiguity of its title stays.
    EXPECT_EQ(list.Mark(c.index).reason,
              std::string(c.log).find('!') != std::string::npos ? MarkReason::Hand : MarkReason::Older);
    EXPECT_TRUE(list.Mark(c.index).ambiguous);
}

constexpr auto U = CheckList::Unchecked;
constexpr auto C = CheckList::Checked;
constexpr auto G = CheckList::Grayed;

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckListToggle,
    testing::Values( // name, index, checked, enabled, grayed, refuse, moved, pressed, inside, times, log, after
        ToggleCase{"Checks", 1, false, true, false, false, -2, true, true, 1, "?1!1", C},
        ToggleCase{"Unchecks", 1, true, true, false, false, -2, true, true, 1, "?0!0", U},
        ToggleCase{"Refused", 1, false, true, false, true, -2, true, true, 1, "?1", U},
        ToggleCase{"DisabledItemLeftAlone", 1, false, false, false, false, -2, true, true, 1, "", U},
        ToggleCase{"HeaderLeftAlone", 0, false, true, false, false, -2, true, true, 1, "", U},
        ToggleCase{"CheckedHeaderLeftAlone", 0, true, true, false, false, -2, true, true, 1, "", C},
        ToggleCase{"GrayedCycle", 2, false, true, true, false, -2, true, true, 4, "?2!2?1!1?0!0?2!2", G},
        ToggleCase{"ReleasedOutside", 1, false, true, false, false, -2, true, false, 1, "", U},
        ToggleCase{"SelectionMoved", 1, false, true, false, false, 2, true, true, 1, "", U},
        ToggleCase{"SelectionLost", 1, false, true, false, false, -1, true, true, 1, "", U},
        ToggleCase{"NoPress", 1, false, true, false, false, -2, false, true, 1, "", U}),
    CaseName());

TEST(CheckList, ChangingHandlerThatEmptiesTheListStopsTheToggle)
{
    CheckList list("en_US");
    list.AddItems({"a", "b"});
    bool changed = false;
    list.SetOnChanging([&](int, CheckList::CheckState, bool&) { list.Clear(); });
    list.SetOnChange([&](int, CheckList::CheckState) { changed = true; });
    list.SetSelectedIndex(1);
    list.ToggleSelected();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_FALSE(changed);
}

TEST(CheckList, SelectionFollowsItsItemAndClicksReportIt)
{
    CheckList list("en_US");
    list.AddItems({"b", "m"});
    list.SetSelectedIndex(1);
    list.AddItem("a");
    list.AddItems({"c", "z", "0"});
    list.DeleteItem(0);
    EXPECT_EQ(list.ItemText(list.SelectedIndex()), "m");
    list.DeleteItem(list.SelectedIndex());
    EXPECT_EQ(list.SelectedIndex(), -1);

    int clicks = 0;
    list.SetOnClick([&] { ++clicks; });
    // {index, right button, selected afterwards, clicks so far}
    const int steps[][4] = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 0, 1, 2}, {0, 1, 0, 3}, {9, 0, 0, 3}, {-1, 1, 0, 3}};
    for (const auto& step : steps) {
        list.ClickItem(step[0], step[1] != 0);
        EXPECT_EQ(list.SelectedIndex(), step[2]);
        EXPECT_EQ(clicks, step[3]);
    }
}

TEST(CheckList, DeleteItemsKeepsSurvivorsTheirOrderStateAndSelection)
{
    struct Case
    {
        const char* name;
        std::vector<bool> doomed;
        int selected;
        Texts survivors;
        int selectedAfter;
    };
    const Case cases[] = {
        {"nothing doomed", {}, 2, {"//h", "a", "b", "c", "d"}, 2},
        {"flags shorter than the list", {false, true}, 4, {"//h", "b", "c", "d"}, 3},
        {"selection survives behind gaps", {false, true, false, true, false}, 4, {"//h", "b", "d"}, 2},
        {"selection before the first gap", {false, false, false, true, true}, 1, {"//h", "a", "b"}, 1},
        {"selected item doomed", {false, false, true}, 2, {"//h", "a", "c", "d"}, -1},
        {"everything doomed", {true, true, true, true, true}, 0, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckList list("en_US");
        list.AddGroupHeader("h");
        list.AddItems({"d", "a", "c", "b"});
        list.SetChecked(4, true);
        list.SetSelectedIndex(c.selected);
        list.DeleteItems(c.doomed);
        Texts texts;
        for (int i = 0; i < list.ItemCount(); ++i)
            texts.push_back(list.ItemText(i));
        EXPECT_EQ(texts, c.survivors);
        EXPECT_EQ(list.SelectedIndex(), c.selectedAfter);
        const auto d = std::find(texts.begin(), texts.end(), "d");
        if (d != texts.end()) {
            EXPECT_TRUE(list.IsChecked(static_cast<int>(d - texts.begin())));
        }
    }
}

// Records the notices a view adapter gets, each with the row count at that moment.
class LogObserver : public CheckListObserver
{
public:
    explicit LogObserver(const CheckList& list) : m_list(list) {}
    void BeginReset() override { Add("<reset"); }
    void EndReset() override { Add("reset>"); }
    void BeginInsert(int first, int last) override { Add("<ins" + Range(first, last)); }
    void EndInsert() override { Add("ins>"); }
    void BeginRemove(int first, int last) override { Add("<del" + Range(first, last)); }
    void EndRemove() override { Add("del>"); }
    void ItemChanged(int index) override { Add("chg" + std::to_string(index)); }
    std::string m_log;

private:
    static std::string Range(int first, int last) { return std::to_string(first) + "-" + std::to_string(last); }
    void Add(const std::string& notice) { m_log += notice + "@" + std::to_string(m_list.ItemCount()) + " "; }
    const CheckList& m_list;
};

// The selection, and a toggle pressed but not yet released, stay with their item while others come in before it,
// at its place, beside an equal text or after it, one at a time or in bulk. An empty batch tells the view nothing.
TEST(CheckList, SelectionAndPendingToggleFollowTheirItemThroughInserts)
{
    const struct
    {
        const char* name;
        Texts added;
        bool bulk;
        const char* notices;
    } cases[] = {
        {"at its place", {"b"}, false, "<ins1-1@3 ins>@4 "},
        {"equal text", {"c"}, false, "<ins2-2@3 ins>@4 "},
        {"after it", {"d"}, false, "<ins2-2@3 ins>@4 "},
        {"bulk before", {"b", "a"}, true, "<ins1-2@3 ins>@5 "},
        {"bulk around", {"f", "b", "d", "a"}, true, "<reset@3 reset>@7 "},
        {"empty bulk", {}, true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CheckList list("en_US");
        list.AddGroupHeader("h");
        list.AddItems({"c", "e"});
        list.SetSelectedIndex(1);
        list.BeginUserToggle();
        LogObserver observer(list);
        list.SetObserver(&observer);
        if (c.bulk) {
            list.AddItems(c.added);
        } else {
            for (const std::string& text : c.added) {
                list.AddItem(text);
            }
        }
        EXPECT_EQ(observer.m_log, c.notices);
        ASSERT_NE(list.SelectedIndex(), -1);
        EXPECT_EQ(list.ItemText(list.SelectedIndex()), "c");
        list.EndUserToggle(true);
        EXPECT_EQ(list.CheckedCount(), 1);
        EXPECT_TRUE(list.IsChecked(list.SelectedIndex()));
    }
}

TEST(CheckList, ObserverHearsBalancedPairsAroundEveryChange)
{
    CheckList list("en_US");
    LogObserver observer(list);
    list.SetObserver(&observer);
    list.AddGroupHeader("/d");
    list.AddItems({"m", "n"});
    list.AddItems({"a", "z"}); // lands in two places: a reset
    list.AddItem("b");
    list.SetChecked(1, true);
    list.SetChecked(1, true);
    list.SetItemText(2, "");
    list.SetEnabled(false);
    list.SetSelectedIndex(3);
    list.ToggleSelected();
    list.SetItemEnabled(3, true);
    list.ToggleSelected();
    list.DeleteItem(2);
    list.Clear();
    list.Clear();
    EXPECT_EQ(observer.m_log, "<ins0-0@0 ins>@1 <ins1-2@1 ins>@3 <reset@3 reset>@5 <ins2-2@5 ins>@6 chg1@6 chg2@6 "
                              "chg0@6 chg1@6 chg2@6 chg3@6 chg4@6 chg5@6 chg3@6 chg3@6 <del2-2@6 del>@5 "
                              "<reset@5 reset>@0 ");
}

} // namespace
} // namespace versweep
