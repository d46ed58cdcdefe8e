// The settings dialog's lists: what each holds, the codes behind the entries, the separators,
// the padded time-zone texts and which entry a stored value selects.
#include "ui/settings_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/separator_lines.h"

namespace {

using ::testing::ElementsAre;

std::vector<int> Separators(ChoiceList list) {
    return {list.separators.begin(), list.separators.end()};
}

std::string TrimmedText(const ChoiceList& list, int index) {
    std::string text = ChoiceText(list, static_cast<std::size_t>(index));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

TEST(SettingsLists, TheCentreListHoldsTheNamedChoicesThenSeventyFiveTimeZones) {
    const ChoiceList centre = CentreOnChoices();
    ASSERT_EQ(centre.choices.size(), 83u);
    EXPECT_THAT(Separators(centre), ElementsAre(0, 4, 7));
    EXPECT_EQ(centre.choices[3].code, 1004) << "Sunrise stores the code after Sunset's";
    EXPECT_EQ(centre.choices[4].code, 1003);
    for (const ListChoice& choice : centre.choices) {
        EXPECT_NE(choice.code, 1005);
    }

    // Named entries as they are; every zone padded to exactly 61 characters, the longest bare.
    EXPECT_EQ(ChoiceText(centre, 0), "Current Time Zone");
    for (std::size_t index = 8; index < centre.choices.size(); ++index) {
        EXPECT_EQ(ChoiceText(centre, index).size(), kPaddedChoiceLength) << index;
    }
    EXPECT_EQ(ChoiceText(centre, 35), "(GMT+01:00) Belgrade, Bratislava, Budapest, Ljubljana, Prague");

    // Offsets in whole degrees, the fraction dropped toward zero; UTC+13 wraps to the west.
    const auto codeOf = [&](const std::string& prefix) {
        for (std::size_t index = 0; index < centre.choices.size(); ++index) {
            if (std::string(centre.choices[index].text).rfind(prefix, 0) == 0) {
                return centre.choices[index].code;
            }
        }
        return -9999;
    };
    EXPECT_EQ(codeOf("(GMT-03:30)"), -52);
    EXPECT_EQ(codeOf("(GMT+03:30)"), 52);
    EXPECT_EQ(codeOf("(GMT+04:30)"), 67);
    EXPECT_EQ(codeOf("(GMT+05:30)"), 82);
    EXPECT_EQ(codeOf("(GMT+05:45)"), 86);
    EXPECT_EQ(codeOf("(GMT+06:30)"), 97);
    EXPECT_EQ(codeOf("(GMT+09:30)"), 142);
    EXPECT_EQ(codeOf("(GMT+13:00)"), -165);
    EXPECT_EQ(codeOf("(GMT-12:00)"), -180);
    EXPECT_EQ(codeOf("(GMT+12:00)"), 180);
}

TEST(SettingsLists, AStoredCodeSelectsTheFirstEntryWithItOrTheListsFallback) {
    const ChoiceList centre = CentreOnChoices();
    const int belgrade = InitialIndex(centre, 15);
    EXPECT_EQ(TrimmedText(centre, belgrade), "(GMT+01:00) Belgrade, Bratislava, Budapest, Ljubljana, Prague");
    EXPECT_EQ(InitialIndex(centre, -1), 0) << "never confirmed: Current Time Zone";
    EXPECT_EQ(InitialIndex(centre, 1005), 0);
    EXPECT_EQ(InitialIndex(centre, 1003), 4);

    EXPECT_EQ(InitialIndex(UpdateChoices(), 3600000), 3);
    EXPECT_EQ(InitialIndex(UpdateChoices(), 12345), 0) << "Every minute";
    EXPECT_EQ(InitialIndex(DayChoices(), 7), 8);
    EXPECT_EQ(InitialIndex(DayChoices(), 13), -1) << "no day entry selected";
    EXPECT_EQ(InitialIndex(NightChoices(), -1), 3) << "Simple Shadows";
    EXPECT_EQ(InitialIndex(NightChoices(), 14), -1) << "no night entry selected";
}

TEST(SettingsLists, TheOtherListsHoldTheirEntriesCodesAndSeparators) {
    const ChoiceList update = UpdateChoices();
    ASSERT_EQ(update.choices.size(), 4u);
    EXPECT_EQ(update.choices[1].code, 300000);
    EXPECT_TRUE(update.separators.empty());

    const ChoiceList night = NightChoices();
    ASSERT_EQ(night.choices.size(), 5u);
    EXPECT_THAT(Separators(night), ElementsAre(2, 3));
    EXPECT_EQ(ChoiceText(night, 4), "No Night Image");
    EXPECT_EQ(night.choices[4].code, 0);

    const ChoiceList day = DayChoices();
    ASSERT_EQ(day.choices.size(), 14u);
    EXPECT_THAT(Separators(day), ElementsAre(0, 1));
    EXPECT_EQ(ChoiceText(day, 13), "Topographic: December");
    EXPECT_EQ(day.choices[13].code, 12);
}

TEST(SeparatorLines, NegativePositionsCountFromTheEndAndTheLastEntryNeverGetsALine) {
    EXPECT_THAT(EntriesWithLines({0, 4, 7}, 83), ElementsAre(0, 4, 7));
    EXPECT_THAT(EntriesWithLines({-1}, 2), ElementsAre(0)) << "two entries: the line under the first";
    EXPECT_THAT(EntriesWithLines({2}, 3), ElementsAre()) << "under the last entry";
    EXPECT_THAT(EntriesWithLines({2}, 4), ElementsAre(2)) << "drawn once an entry follows";
    EXPECT_THAT(EntriesWithLines({5, -9, 1, 1}, 4), ElementsAre(1, 1)) << "beyond the list; twice added";
    EXPECT_THAT(EntriesWithLines({0}, 0), ElementsAre());
}

}  // namespace
