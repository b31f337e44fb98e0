#include "core/dialogs.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(BatchDialogs, EveryQuestionGetsItsSafeDefaultAndIsReported) {
    QStringList told;
    BatchDialogs dialogs([&told](const QString& text) { told.append(text); });
    const std::pair<MessageButtons, DialogAnswer> cases[] = {
        {MessageButtons::Ok, DialogAnswer::Ok},
        {MessageButtons::OkCancel, DialogAnswer::Cancel},
        {MessageButtons::YesNo, DialogAnswer::No},
        {MessageButtons::YesNoCancel, DialogAnswer::Cancel},
        {MessageButtons::RetryCancel, DialogAnswer::Cancel},
    };
    for (const auto& [buttons, answer] : cases)
        EXPECT_EQ(dialogs.Message(" Quit", "Save?", MessageIcon::Question, buttons), answer);
    ASSERT_EQ(told.size(), 5);
    EXPECT_EQ(told[0], "Quit: Save?");
    EXPECT_EQ(told[2], "Quit: Save? [answered No]");
    EXPECT_EQ(told[3], "Quit: Save? [answered Cancel]");

    // A chooser returns at once, cancelled, and says what it was for.
    told.clear();
    FileDialogRequest request;
    request.title = "Open a map";
    EXPECT_FALSE(dialogs.OpenFile(request).has_value());
    EXPECT_FALSE(dialogs.SaveFile(request).has_value());
    EXPECT_FALSE(dialogs.ChooseFolder("Map folder", "/"));
    dialogs.TimedInform("Done", "Line 1\nline 2", 2000);
    ASSERT_EQ(told.size(), 4);
    EXPECT_TRUE(told[0].startsWith("Open a map"));
    EXPECT_TRUE(told[2].startsWith("Map folder"));
    EXPECT_EQ(told[3], "Done: Line 1 line 2");
}

} // namespace
} // namespace kestrova
