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

// The list after `prefix` and `rest` went in: one item at a time or in bulk.
Texts Filled(const Texts& prefix, const Texts& rest, bool prefixInBulk, bool restInBulk)
{
    CheckList list("en_US");
    for (const auto& [texts, bulk] : {std::pair{&prefix, prefixInBulk}, std::pair{&rest, restInBulk}}) {
        if (bulk) {
            list.AddItems(*texts);
        } else {
            for (const std::string& text : *texts) {
                list.AddItem(text);
            }
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
    const Texts front(c.input.begin(), c.input.begin() + 1);
    const Texts back(c.input.begin() + 1, c.input.end());
    EXPECT_EQ(Filled(c.input, {}, false, false), c.expected) << "one by one";
    EXPECT_EQ(Filled(reversed, {}, false, false), c.expected) << "one by one, reversed";
    EXPECT_EQ(Filled(c.input, {}, true, false), c.expected) << "in bulk";
    EXPECT_EQ(Filled(front, back, false, true), c.expected) << "in bulk after one";
    EXPECT_EQ(Filled(back, front, true, true), c.expected) << "two bulks";
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
    const Texts expected = Filled(names, {}, false, false);
    const Texts half1(names.begin(), names.begin() + 1500);
    const Texts half2(names.begin() + 1500, names.end());
    EXPECT_EQ(Filled(names, {}, true, false), expected);
    EXPECT_EQ(Filled(half1, half2, true, true), expected);
    EXPECT_EQ(Filled(half2, half1, false, true), expected);
    EXPECT_EQ(Filled(Texts(names.rbegin(), names.rend()), {}, true, false), expected);
}

TEST(CheckList, HeaderStaysFirstWhateverTheNamesBeginWith)
{
    const Texts names = {"_x", "[x", "(x", "!x", ".x", "-x", "'x", "\"x", "", " x", "\x01x", "\xFFx", "/x"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        CheckList list("en_US");
        list.AddItem(name);
        EXPECT_EQ(list.AddGroupHeader("/music"), 0);
        EXPECT_NE(list.AddItem(name), 0);
        list.Clear();
        EXPECT_EQ(list.AddGroupHeader("/music"), 0);
        list.AddItems({name, "zzz"});
        EXPECT_TRUE(list.IsGroupHeader(0));
        EXPECT_EQ(list.ItemText(0), "///music");
        EXPECT_EQ(list.ItemDisplayText(0), "/music");
    }
}

TEST(CheckList, AnyLocaleNameGivesAWorkingList)
{
    const char* locales[] = {"en_US", "de_DE", "zh_CN", "", "root", "no_SUCH_place", "@@@;=", nullptr};
    for (const char* locale : locales) {
        SCOPED_TRACE(locale == nullptr ? "default" : locale);
        CheckList list(locale);
        list.AddItems({"beta", "Alpha", "gamma", "!x"});
        list.AddGroupHeader("/d");
        EXPECT_EQ(AllTexts(list), (Texts{"///d", "!x", "Alpha", "beta", "gamma"}));
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

struct TextChangeCase
{
    const char* name;
    int index;
    std::string text;
    bool header;
};

class CheckListSetItemText : public testing::TestWithParam<TextChangeCase>
{};

TEST_P(CheckListSetItemText, KeepsPlaceStateAndNeighbours)
{
    const TextChangeCase& c = GetParam();
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
    EXPECT_TRUE(list.IsChecked(c.index));
    EXPECT_FALSE(list.IsItemEnabled(c.index));
    EXPECT_EQ(list.SelectedIndex(), c.index);
    EXPECT_EQ(list.IsGroupHeader(c.index), c.header);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckListSetItemText,
                         testing::Values(TextChangeCase{"EmptyIsNoHeader", 2, "", false},
                                         TextChangeCase{"HeaderBecomesItem", 0, "zz", false},
                                         TextChangeCase{"ItemBecomesHeader", 3, "//x", true},
                                         TextChangeCase{"OutOfOrderStaysPut", 1, "zzz", false}),
                         CaseName());

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

struct ToggleCase
{
    const char* name;
    int index; // 0 is the header
    bool enabled;
    bool startChecked;
    bool refuse;
    bool asked;   // OnChanging heard of it
    bool checked; // afterwards
};

class CheckListToggle : public testing::TestWithParam<ToggleCase>
{};

TEST_P(CheckListToggle, SpaceBarPressAndRelease)
{
    const ToggleCase& c = GetParam();
    CheckList list("en_US");
    list.AddGroupHeader("/d");
    list.AddItem("a");
    list.SetChecked(c.index, c.startChecked);
    list.SetItemEnabled(c.index, c.enabled);
    std::vector<std::pair<int, CheckList::CheckState>> asked;
    std::vector<std::pair<int, CheckList::CheckState>> changed;
    list.SetOnChanging([&](int index, CheckList::CheckState state, bool& allow) {
        asked.emplace_back(index, state);
        allow = !c.refuse;
    });
    list.SetOnChange([&](int index, CheckList::CheckState state) { changed.emplace_back(index, state); });

    list.SetSelectedIndex(c.index);
    list.BeginUserToggle();
    list.EndUserToggle(true);

    const auto newState = c.startChecked ? CheckList::Unchecked : CheckList::Checked;
    const std::vector<std::pair<int, CheckList::CheckState>> told = {{c.index, newState}};
    EXPECT_EQ(asked, c.asked ? told : decltype(told){});
    EXPECT_EQ(changed, c.asked && !c.refuse ? told : decltype(told){});
    EXPECT_EQ(list.IsChecked(c.index), c.checked);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckListToggle,
                         testing::Values(ToggleCase{"Checks", 1, true, false, false, true, true},
                                         ToggleCase{"Unchecks", 1, true, true, false, true, false},
                                         ToggleCase{"Refused", 1, true, false, true, true, false},
                                         ToggleCase{"DisabledItemLeftAlone", 1, false, false, false, false, false},
                                         ToggleCase{"HeaderLeftAlone", 0, true, false, false, false, false},
                                         ToggleCase{"CheckedHeaderLeftAlone", 0, true, true, false, false, true}),
                         CaseName());

TEST(CheckList, GrayedCycleWhenAllowed)
{
    CheckList list("en_US");
    list.AddItem("a");
    list.SetAllowGrayed(true);
    std::vector<CheckList::CheckState> states;
    list.SetOnChange([&](int, CheckList::CheckState state) { states.push_back(state); });
    list.SetSelectedIndex(0);
    for (int i = 0; i < 4; ++i) {
        list.ToggleSelected();
    }
    EXPECT_EQ(states, (std::vector<CheckList::CheckState>{CheckList::Grayed, CheckList::Checked,
                                                          CheckList::Unchecked, CheckList::Grayed}));
    EXPECT_FALSE(list.IsChecked(0));
}

struct MouseCase
{
    const char* name;
    int selectedAtPress;
    int selectedAtRelease;
    bool releasedInside;
    bool pressed; // a press in the check box came first
    bool toggled;
};

class CheckListMouse : public testing::TestWithParam<MouseCase>
{};

TEST_P(CheckListMouse, ToggleNeedsPressAndReleaseOnTheSameItem)
{
    const MouseCase& c = GetParam();
    CheckList list("en_US");
    list.AddItems({"a", "b"});
    list.SetSelectedIndex(c.selectedAtPress);
    if (c.pressed) {
        list.BeginUserToggle();
    }
    list.SetSelectedIndex(c.selectedAtRelease);
    list.EndUserToggle(c.releasedInside);
    list.EndUserToggle(true); // a later release of a click on the text alone
    EXPECT_EQ(list.CheckedCount(), c.toggled ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckListMouse,
                         testing::Values(MouseCase{"ReleasedInside", 0, 0, true, true, true},
                                         MouseCase{"ReleasedOutside", 0, 0, false, true, false},
                                         MouseCase{"SelectionMoved", 0, 1, true, true, false},
                                         MouseCase{"NoPress", 0, 0, true, false, false},
                                         MouseCase{"NothingSelected", -1, -1, true, true, false}),
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

TEST(CheckList, SelectionFollowsItsItem)
{
    CheckList list("en_US");
    list.AddItems({"b", "m"});
    list.SetSelectedIndex(1);
    list.AddItem("a");
    list.AddItems({"c", "z", "0"});
    EXPECT_EQ(list.ItemText(list.SelectedIndex()), "m");
    list.DeleteItem(0);
    EXPECT_EQ(list.ItemText(list.SelectedIndex()), "m");
    list.DeleteItem(list.SelectedIndex());
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST(CheckList, ClicksSelectAndReport)
{
    CheckList list("en_US");
    list.AddItems({"a", "b"});
    int clicks = 0;
    list.SetOnClick([&] { ++clicks; });
    const struct
    {
        int index;
        bool right;
        int selected;
        int clicks;
    } steps[] = {{1, true, 1, 1}, {1, true, 1, 1},  {1, false, 1, 2},
                 {0, true, 0, 3}, {5, false, 0, 3}, {-1, true, 0, 3}};
    for (const auto& step : steps) {
        list.ClickItem(step.index, step.right);
        EXPECT_EQ(list.SelectedIndex(), step.selected);
        EXPECT_EQ(clicks, step.clicks);
    }
}

// Checks what a view adapter relies on: pairs balanced and never nested, ranges valid when announced,
// counts moved by exactly the announced rows when a pair ends.
class CheckingObserver : public CheckListObserver
{
public:
    explicit CheckingObserver(const CheckList& list) : m_list(list) {}
    void BeginReset() override { Begin(0, 'R'); }
    void EndReset() override { End('R'); }
    void BeginInsert(int first, int last) override
    {
        EXPECT_TRUE(first >= 0 && first <= last && first <= m_list.ItemCount());
        Begin(last - first + 1, 'I');
    }
    void EndInsert() override { End('I'); }
    void BeginRemove(int first, int last) override
    {
        EXPECT_TRUE(first >= 0 && first <= last && last < m_list.ItemCount());
        Begin(first - last - 1, 'R');
    }
    void EndRemove() override { End('R'); }
    void ItemChanged(int index) override
    {
        EXPECT_EQ(m_open, 0);
        EXPECT_TRUE(index >= 0 && index < m_list.ItemCount());
        ++m_events;
    }
    int m_events = 0;

private:
    void Begin(int delta, char kind)
    {
        EXPECT_EQ(m_open, 0) << "nested";
        m_open = kind;
        m_expected = kind == 'R' && delta == 0 ? -1 : m_list.ItemCount() + delta;
        ++m_events;
    }
    void End(char kind)
    {
        EXPECT_EQ(m_open, kind);
        if (m_expected >= 0) {
            EXPECT_EQ(m_list.ItemCount(), m_expected);
        }
        m_open = 0;
    }
    const CheckList& m_list;
    char m_open = 0;
    int m_expected = 0;
};

TEST(CheckList, ObserverHearsBalancedPairsAroundEveryChange)
{
    CheckList list("en_US");
    CheckingObserver observer(list);
    list.SetObserver(&observer);
    list.AddGroupHeader("/d");
    list.AddItems({"m", "n"});
    list.AddItems({"a", "z"});
    list.AddItem("b");
    list.SetChecked(1, true);
    list.SetItemText(2, "");
    list.SetEnabled(false);
    list.SetSelectedIndex(3);
    list.ToggleSelected();
    list.SetItemEnabled(3, true);
    list.ToggleSelected();
    list.DeleteItem(2);
    list.Clear();
    EXPECT_EQ(observer.m_events, 16);
}

} // namespace
} // namespace versweep
