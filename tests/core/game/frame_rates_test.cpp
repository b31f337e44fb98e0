#include "core/game/frame_rates.h"

#include "core/script/game_profile.h"
#include "support/temp_registry.h"

namespace kestrova::test {
namespace {

const QString kKey = Profile(kGameDefrag).registryKey;

void StoreRates(const QString& text) {
    ASSERT_TRUE(RegWriteValue(kKey, "AviDemos", RegType::Sz, text));
}

TEST(FrameRates, StoredTextKeepsPositiveNumbersOnly) {
    EXPECT_EQ(ParseAviDemos("30;word;-5;60;"), (std::vector<int>{30, 60}));
    EXPECT_EQ(ParseAviDemos(" 24 ;0;0.4;2.5"), (std::vector<int>{24, 2}));
    EXPECT_TRUE(ParseAviDemos(QString()).empty());
}

TEST(FrameRates, LoadReplacesUnusableTextsWithTheSevenDefaults) {
    for (const QString& bad : {QString("word;0"), QString()}) {
        TempRegistry reg;
        if (!bad.isEmpty())
            StoreRates(bad);
        ASSERT_TRUE(RegWriteValue(kKey, "AviDemoDefault", RegType::Dword, 90));
        FrameRateList list;
        list.Load(kKey);
        EXPECT_EQ(list.Texts(), (QStringList{" 25", " 30", " 50", " 60", " 75", " 90", " 100"}));
        // The stored default is not read along with unusable rates.
        EXPECT_EQ(list.DefaultRate(), 50);
        EXPECT_EQ(list.EditText(), "50");
    }
}

TEST(FrameRates, LoadSortsAndSelectsTheDefault) {
    TempRegistry reg;
    StoreRates("60;30;word;-5");
    ASSERT_TRUE(RegWriteValue(kKey, "AviDemoDefault", RegType::Dword, 60));
    FrameRateList list;
    list.AddTemporary(44); // a reload drops the temporaries
    list.Load(kKey);
    EXPECT_EQ(list.Texts(), (QStringList{" 30", " 60"}));
    EXPECT_EQ(list.CurrentRate(), 60);

    // A default that is not listed gives way to the first stored rate.
    ASSERT_TRUE(RegWriteValue(kKey, "AviDemoDefault", RegType::Dword, 25));
    list.Load(kKey);
    EXPECT_EQ(list.CurrentRate(), 30);
}

TEST(FrameRates, TypedRatesAreTemporaryWithAStarAndStoredOtherwise) {
    TempRegistry reg;
    StoreRates("25;50;");
    FrameRateList list;
    list.Load(kKey);

    EXPECT_TRUE(list.Validate("*45").addedTemporary);
    EXPECT_EQ(list.EditText(), "45");
    EXPECT_EQ(list.Items()[0].data, 1);
    const auto stored = list.Validate("30");
    EXPECT_TRUE(stored.added && !stored.addedTemporary);
    EXPECT_EQ(list.Texts(), (QStringList{"*45", " 25", " 30", " 50"}));

    // Already listed (of either kind): nothing added.
    EXPECT_FALSE(list.Validate("45").added);
    EXPECT_FALSE(list.Validate("*25").added);
    EXPECT_EQ(list.Count(), 4);

    list.Save(kKey); // the temporary rate is not stored
    EXPECT_EQ(RegReadValue(kKey, "AviDemos").String(), "25;30;50;");
    EXPECT_EQ(RegReadValue(kKey, "AviDemoDefault").Dword(), 50);
}

TEST(FrameRates, OutOfRangeTextsAreRefused) {
    FrameRateList list;
    list.Validate("25");
    list.SetEditText("25");
    for (const char* bad : {"100001", "0", "*", "", "*0", "-5", "12a", "*100001"}) {
        EXPECT_FALSE(list.Validate(bad).accepted) << bad;
        EXPECT_EQ(list.EditText(), "25") << bad;
    }
    EXPECT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Validate("100000").accepted);
    EXPECT_TRUE(list.Validate("*1").accepted);
    EXPECT_EQ(list.Texts(), (QStringList{"*1", " 25", " 100000"}));
}

TEST(FrameRates, ContextMenuDefaultAndRemoveRules) {
    TempRegistry reg;
    StoreRates("30;60");
    FrameRateList list;
    list.Load(kKey); // default 50 absent: 30 becomes the default
    list.Validate("*45");

    FrameRateList::MenuState menu = list.ContextMenu();
    EXPECT_TRUE(menu.index == 0 && !menu.setAsDefaultEnabled && menu.removeEnabled);
    EXPECT_FALSE(list.SetAsDefault(0));

    list.SetEditText("60");
    menu = list.ContextMenu();
    EXPECT_TRUE(menu.index == 2 && menu.setAsDefaultEnabled && !menu.setAsDefaultChecked);
    EXPECT_TRUE(list.SetAsDefault(menu.index));
    EXPECT_TRUE(list.ContextMenu().setAsDefaultChecked);

    list.SetEditText("99");
    EXPECT_EQ(list.ContextMenu().index, -1);

    // Removing the temporary entry marks the trace; item 0 is selected afterwards.
    FrameRateList::Removal removal = list.Remove(0);
    EXPECT_TRUE(removal.removed && removal.temporary);
    EXPECT_EQ(list.Texts(), (QStringList{" 30", " 60"}));
    EXPECT_EQ(list.EditText(), "30");

    // Removing the default hands it to the first stored rate; the last stored rate stays.
    removal = list.Remove(1);
    EXPECT_TRUE(removal.removed && !removal.temporary);
    EXPECT_EQ(list.DefaultRate(), 30);
    list.SetEditText("30");
    EXPECT_FALSE(list.ContextMenu().removeEnabled);
    EXPECT_FALSE(list.Remove(0).removed);

    // A default below 1 is saved as 50.
    list.SetDefaultRate(0);
    list.Save(kKey);
    EXPECT_EQ(RegReadValue(kKey, "AviDemoDefault").Dword(), 50);
    EXPECT_EQ(RegReadValue(kKey, "AviDemos").String(), "30;");
}

TEST(FrameRates, FindAndTraceEntries) {
    FrameRateList list;
    list.Validate("25");
    EXPECT_EQ(list.AddTemporary(120), 0);
    EXPECT_EQ(list.AddTemporary(25), 1); // already stored: nothing added
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(std::tuple(list.Find(120), list.Find(120, true), list.Find(25, true)),
              std::tuple(0, -1, 1)); // the flag looks among the stored rates only
    EXPECT_EQ(list.StoredRates(), std::vector<int>{25});

    // A trace's rate is selected, added as temporary when missing; the trace keeps every rate.
    EXPECT_EQ(list.SelectRate(25), 1);
    EXPECT_EQ(list.SelectRate(33), 0);
    EXPECT_EQ(list.EditText(), "33");
    EXPECT_EQ(list.Texts(), (QStringList{"*33", "*120", " 25"}));
    EXPECT_EQ(list.AllRatesText(), "33;120;25;");
    EXPECT_EQ(list.StoredText(), "25;");
}

TEST(FrameRates, KeyFilter) {
    EXPECT_TRUE(AviDemoKeyAllowed("45", 0, 0, u'*'));
    EXPECT_FALSE(AviDemoKeyAllowed("45", 1, 0, u'*'));  // a star only first
    EXPECT_FALSE(AviDemoKeyAllowed("*45", 0, 0, u'*')); // and once
    EXPECT_TRUE(AviDemoKeyAllowed("*45", 0, 3, u'*'));
    EXPECT_FALSE(AviDemoKeyAllowed("1234567", 7, 0, u'8')); // seven characters at most
    EXPECT_TRUE(AviDemoKeyAllowed("123456", 6, 0, u'7'));
    EXPECT_TRUE(AviDemoKeyAllowed("1234567", 6, 1, u'8'));
    EXPECT_TRUE(AviDemoKeyAllowed("1234567", 7, 0, u'\b'));
    for (char16_t c : {u'a', u'-', u'.'})
        EXPECT_FALSE(AviDemoKeyAllowed("12", 2, 0, c));
}

} // namespace
} // namespace kestrova::test
