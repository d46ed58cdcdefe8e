// The cloud updates dialog's rules, driven as the dialog drives them: the mirror list edited
// through a stand-in for its list box, the enabling of the controls after each step, the period
// list, what OK stores, and the texts and sizes the dialog shows.
#include "ui/cloud_dialog_rules.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/settings/memory_settings_store.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Keeps its selection on the same entry through insertions and deletions before it, and loses it
// when that entry is deleted, as a list box does.
class VectorMirrors final : public MirrorListView {
  public:
    explicit VectorMirrors(std::vector<std::string> entries) : entries_(std::move(entries)) {}

    int Count() const override { return static_cast<int>(entries_.size()); }
    int Selection() const override { return selection_; }
    std::string Text(int index) const override { return entries_.at(static_cast<std::size_t>(index)); }
    void Insert(int index, const std::string& text) override {
        ASSERT_GE(index, 0);
        ASSERT_LE(index, Count());
        entries_.insert(entries_.begin() + index, text);
        if (selection_ >= index) {
            ++selection_;
        }
    }
    void Delete(int index) override {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, Count());
        entries_.erase(entries_.begin() + index);
        selection_ = selection_ == index ? -1 : selection_ > index ? selection_ - 1 : selection_;
    }
    void Select(int index) override {
        ASSERT_GE(index, -1);
        ASSERT_LT(index, Count());
        selection_ = index;
    }

    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
    int selection_ = -1;
};

// The enabled states as one string, in the order of CloudControlsEnabled: frequency list, mirror
// list, address box, Add, Delete, Move Up, Move Down; 1 enabled, 0 not.
std::string Enabled(bool ticked, bool typed, const MirrorListView& list) {
    const CloudControlsEnabled e = CloudControlsEnabledFor(ticked, typed, list);
    std::string states;
    for (const bool on : {e.frequencyList, e.mirrorList, e.addressBox, e.addButton, e.deleteButton,
                          e.moveUpButton, e.moveDownButton}) {
        states += on ? '1' : '0';
    }
    return states;
}

TEST(CloudDialogRules, TheMirrorListIsEditedAsAUserWouldAndTheButtonsFollow) {
    VectorMirrors list({"http://a/", "http://b/"});
    EXPECT_EQ(Enabled(true, false, list), "1110000") << "nothing typed, nothing selected";
    EXPECT_EQ(Enabled(false, true, list), "0000000") << "updates off: every editing control";
    EXPECT_EQ(Enabled(true, true, list), "1111000");

    AddMirror(list, " http://c/ ");  // kept as typed
    EXPECT_THAT(list.Entries(), ElementsAre("http://a/", "http://b/", " http://c/ "));
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(Enabled(true, true, list), "1111110") << "the last entry cannot go down";
    EXPECT_EQ(Enabled(false, true, list), "0000000") << "nor anything while updates are off";

    MoveSelectedMirror(list, -1);
    MoveSelectedMirror(list, -1);
    EXPECT_THAT(list.Entries(), ElementsAre(" http://c/ ", "http://a/", "http://b/"));
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_EQ(Enabled(true, false, list), "1110101") << "the first entry cannot go up";
    MoveSelectedMirror(list, -1);  // the button is disabled there; the rule holds anyway
    EXPECT_THAT(list.Entries(), ElementsAre(" http://c/ ", "http://a/", "http://b/"));
    EXPECT_EQ(list.Selection(), 0);

    MoveSelectedMirror(list, 1);
    EXPECT_THAT(list.Entries(), ElementsAre("http://a/", " http://c/ ", "http://b/"));
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(Enabled(true, false, list), "1110111");
    MoveSelectedMirror(list, 1);
    MoveSelectedMirror(list, 1);
    EXPECT_THAT(list.Entries(), ElementsAre("http://a/", "http://b/", " http://c/ "));
    EXPECT_EQ(list.Selection(), 2);

    AddMirror(list, "http://a/");  // twice the same address: both kept
    EXPECT_THAT(list.Entries(), ElementsAre("http://a/", "http://b/", " http://c/ ", "http://a/"));

    list.Select(1);
    DeleteSelectedMirror(list);
    EXPECT_THAT(list.Entries(), ElementsAre("http://a/", " http://c/ ", "http://a/"));
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(Enabled(true, false, list), "1110000");
    DeleteSelectedMirror(list);  // without a selection: nothing
    MoveSelectedMirror(list, 1);
    EXPECT_EQ(list.Count(), 3);

    while (list.Count() > 1) {
        list.Select(0);
        DeleteSelectedMirror(list);
    }
    list.Select(0);
    EXPECT_EQ(Enabled(true, false, list), "1110100") << "a single entry moves neither way";
    DeleteSelectedMirror(list);
    EXPECT_THAT(MirrorEntries(list), IsEmpty());
    EXPECT_EQ(Enabled(true, true, list), "1111000");
}

TEST(CloudDialogRules, ThePeriodsAreThreeToTwentyFourHoursAndOpenAtThreeWhenNoneMatches) {
    const ChoiceList periods = CloudUpdateChoices();
    ASSERT_EQ(periods.choices.size(), 4u);
    std::vector<std::pair<std::string, std::int32_t>> entries;
    for (std::size_t index = 0; index < periods.choices.size(); ++index) {
        entries.emplace_back(ChoiceText(periods, index), periods.choices[index].code);
    }
    EXPECT_THAT(entries, ElementsAre(std::pair<std::string, std::int32_t>{"3 hours", 3},
                                     std::pair<std::string, std::int32_t>{"6 hours", 6},
                                     std::pair<std::string, std::int32_t>{"12 hours", 12},
                                     std::pair<std::string, std::int32_t>{"24 hours", 24}));
    EXPECT_THAT(periods.separators, IsEmpty());
    EXPECT_EQ(InitialIndex(periods, 12), 2);
    EXPECT_EQ(InitialIndex(periods, 48), 0) << "a stored 48 shows \"3 hours\"";
    EXPECT_EQ(InitialIndex(periods, 72), 0);
}

TEST(CloudDialogRules, OkStoresTheThreeChoicesOverAFreshRecordAndKeepsANewerUpdateTime) {
    MemorySettingsStore store;
    {
        CSettings opened(store);
        opened.CloudUpdateFreq = 48;
        opened.CloudsLastUpdated = 0x01DA000000000000u;
        opened.Save();
    }
    // While the dialog is open, the settings dialog stores a centre and a download its time.
    {
        CSettings elsewhere(store);
        elsewhere.CenterOn = kCenterOnNoon;
        elsewhere.Save();
    }
    ASSERT_EQ(StoreCloudsLastUpdated(store, 0x01DB000000000000u), 1);

    CloudChoices choices;
    choices.autoUpdate = true;
    choices.updateFreq = 3;  // what the list shows for the stored 48
    choices.mirrors = {"http://127.0.0.2/clouds.jpg", "http://127.0.0.2/clouds.jpg", "no scheme"};
    SaveCloudChoices(choices, store);

    const CSettings stored(store);
    EXPECT_EQ(stored.AutoUpdateClouds, 1);
    EXPECT_EQ(stored.CloudUpdateFreq, 3u);
    EXPECT_EQ(stored.URLs, choices.mirrors);
    EXPECT_EQ(stored.CenterOn, kCenterOnNoon);
    EXPECT_EQ(stored.CloudsLastUpdated, 0x01DB000000000000u);

    choices.autoUpdate = false;
    choices.updateFreq = 24;
    choices.mirrors.clear();
    SaveCloudChoices(choices, store);
    const CSettings emptied(store);
    EXPECT_EQ(emptied.AutoUpdateClouds, 0);
    EXPECT_EQ(emptied.CloudUpdateFreq, 24u);
    EXPECT_THAT(emptied.URLs, IsEmpty()) << "an empty list is stored, not the defaults";
}

TEST(CloudDialogRules, TheLastUpdatedLabelUsesTheCLocalesCalendarForm) {
    EXPECT_EQ(LastUpdatedText({2007, 3, 14, 18, 5, 9}), "03/14/07 18:05:09");
    EXPECT_EQ(LastUpdatedText({2024, 12, 31, 23, 59, 59}), "12/31/24 23:59:59");
    EXPECT_EQ(LastUpdatedText({2100, 1, 2, 0, 0, 0}), "01/02/00 00:00:00");
    EXPECT_EQ(LastUpdatedText({1601, 1, 1, 0, 0, 0}), "01/01/01 00:00:00") << "the earliest FILETIME";
}

TEST(CloudDialogRules, ThePreviewFitsTheSmallMapIntoThePictureControl) {
    EXPECT_DOUBLE_EQ(CloudPreviewScale(512, 256), 1.0);
    EXPECT_DOUBLE_EQ(CloudPreviewScale(162, 88), 162.0 / 512.0) << "the width limits";
    EXPECT_DOUBLE_EQ(CloudPreviewScale(600, 100), 100.0 / 256.0) << "the height limits";
    EXPECT_DOUBLE_EQ(CloudPreviewScale(1024, 512), 2.0);
}

}  // namespace
