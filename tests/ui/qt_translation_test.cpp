// Qt's own buttons and file dialogs speak the editor's language.
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/main_window.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class QtTranslation : public ::testing::Test {
protected:
    void TearDown() override {
        if (w)
            w->mnuVL_Lang_Click(0);
        SetLanguageOffset(kLanguageEnglish);
    }
    void Start() {
        w = std::make_unique<FrmMain>();
        w->SetDialogs(&dialogs);
        w->Form_Load({QString(), false});
    }
    // Texts of a fresh box's buttons, as a message box or a dialog of ours would show them.
    static QStringList ButtonTexts() {
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
        return {box.button(QDialogButtonBox::Yes)->text(),
                box.button(QDialogButtonBox::Cancel)->text()};
    }
    // The caption of the folder list of Qt's own file dialog.
    static QString LookInCaption() {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        return label ? label->text() : QStringLiteral("(no label)");
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
};

TEST_F(QtTranslation, QtsButtonsAndFileDialogFollowTheMenu) {
    Start();
    EXPECT_EQ(ButtonTexts(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
    EXPECT_EQ(LookInCaption(), QStringLiteral("Look in:"));

    w->mnuVL_Lang_Click(1);
    EXPECT_EQ(ButtonTexts(), (QStringList{QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
    EXPECT_EQ(LookInCaption(), QStringLiteral("Voir dans :"));

    // Back to English: no French left over from the translation.
    w->mnuVL_Lang_Click(0);
    EXPECT_EQ(ButtonTexts(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
    EXPECT_EQ(LookInCaption(), QStringLiteral("Look in:"));
}

TEST_F(QtTranslation, AStoredFrenchChoiceTranslatesQtAtStartUp) {
    ASSERT_TRUE(RegWriteValue(kApplicationKey, QStringLiteral("Language"), RegType::Dword, 1));
    Start();
    EXPECT_EQ(ButtonTexts(), (QStringList{QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
}

} // namespace
} // namespace kestrova::ui
