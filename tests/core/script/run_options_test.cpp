#include "core/model/trace.h"
#include "core/script/auto_start.h"
#include "core/script/bind_keys.h"
#include "core/script/camera_modes.h"
#include "core/script/game_profile.h"
#include "core/script/script_pause.h"
#include "core/settings/language.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(BindKeys, TagIsTheGameNameInEveryLanguage) {
    auto tagOf = [](const QString& text) {
        for (int i = 0; i < kBindKeyCount; ++i)
            if (BindKeyText(i) == text)
                return RefreshBindKeyTag(i);
        return QString("<missing>");
    };
    for (const auto& [text, tag] :
         {std::pair{"Num. 5", "KP_5"}, {"Page down", "PgDn"}, {"Numlock", "KP_Numlock"}})
        EXPECT_EQ(tagOf(text), tag) << text;
    EXPECT_EQ(BindKeyText(88), kBindKeySeparator);
    EXPECT_EQ(RefreshBindKeyTag(-3), "-"); // out of range: first item
    SetLanguageOffset(kLanguageFrench);
    const QString label = BindKeyText(4), tag = RefreshBindKeyTag(4);
    SetLanguageOffset(kLanguageEnglish);
    EXPECT_NE(label, ";");
    EXPECT_EQ(tag, "SemiColon");
}

TEST(BindKeys, SeparatorIsSteppedOverInTheKeysDirection) {
    EXPECT_EQ(StepOverSeparator(11, 40), 12); // Down arrow: on to "0"
    EXPECT_EQ(StepOverSeparator(11, kKeyCodeUp), 10);
    EXPECT_EQ(StepOverSeparator(11, 0), 12); // a mouse choice goes on too
    EXPECT_EQ(StepOverSeparator(23, kKeyCodeUp), 23);
}

TEST(CameraModes, ListsAndTipsFollowTheGame) {
    ScriptRunOptions o;
    o.cameraMode = 3; // Defrag LookNoYaw
    const QStringList et = FillCameraModes(o, kGameEtPro);
    EXPECT_EQ(et, (QStringList{"Free", "LookPlayer"}));
    EXPECT_EQ(o.cameraMode, 0);
    EXPECT_EQ(CameraModes(kGameDefrag).value(3), "LookNoYaw");

    EXPECT_EQ(CameraModeTipFor(kGameEtPro, 1).text,
              "Camera view tracks the specified player.\r\nThe specified angles are ignored.");
    EXPECT_EQ(CameraModeTipFor(kGameDefrag, 0).title, "Transition Cam");
    EXPECT_EQ(PlayerItems().value(63), "63");
}

TEST(AutoStart, ClockAndMillisecondsConvertBothWays) {
    EXPECT_EQ(ClockToMs(1, 2, 3, 4), 3723004);
    const ClockTime c = MsToClock(3723004);
    EXPECT_EQ(std::tuple(c.hours, c.minutes, c.seconds, c.milliseconds), std::tuple(1, 2, 3, 4));
    // Fields beyond their usual range still add up, without overflow, up to the clamp.
    EXPECT_EQ(ClockToMs(0, 90, 0, 0), 5400000);
    EXPECT_EQ(ClockToMs(596, 31, 23, 647), kMaxStartMs);
    EXPECT_EQ(ClockToMs(100000, 0, 0, 0), kMaxStartMs);
    EXPECT_EQ(ClockToMs(MsToClock(kMaxStartMs)), kMaxStartMs);
    EXPECT_EQ(MsToClock(kMaxStartMs).hours, ClockFieldMaximum(0));
}

TEST(AutoStart, TypedTextsAreValidated) {
    ScriptRunOptions o;
    for (const auto& [typed, kept] :
         {std::pair{"3723004.9xyz", "3723004"}, {"99999999999", "2147483647"}, {"abc", "0"}}) {
        ValidateAutoStartMsText(o, typed);
        EXPECT_EQ(o.autoStartMsText, kept) << typed;
    }

    o.autoStartMsText = "3723004";
    SetAutoStartClockField(o, 1, 10);        // minutes
    EXPECT_EQ(o.autoStartMsText, "4203004"); // 1:10:03.004

    Trace t;
    SetAutoStartEnabled(t, true, false);
    EXPECT_TRUE(t.script.autoStartEnabled);
    EXPECT_FALSE(t.modified); // no control points
    t.points.count[kControl] = 1;
    SetAutoStartEnabled(t, false, true);
    EXPECT_FALSE(t.modified); // loading
    SetAutoStartEnabled(t, true, false);
    EXPECT_TRUE(t.modified);
}

TEST(ScriptPause, ZeroRestoresAndIntervalStaysPositive) {
    for (const auto& [typed, kept] : {std::pair{"0", "3"}, {"abc", "3"}, {"0.4", "0.4"}})
        EXPECT_EQ(ValidatePauseEveryText(typed, "3"), kept) << typed;
    // At least 1, halves to even, the sign dropped, clamped to 32 bits.
    for (const auto& [text, every] :
         {std::pair{"0.4", 1}, {"2.5", 2}, {"3.5", 4}, {"-2", 2}, {"-1e30", 2147483647}})
        EXPECT_EQ(PauseInterval(text), every) << text;
}

} // namespace
} // namespace kestrova
