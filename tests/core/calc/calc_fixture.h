#pragma once
// A document with points placed the way the editor places them, and a recorder of messages.

#include "core/files/document.h"
#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/path/build_path.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>
#include <vector>

namespace kestrova::test {

struct CalcFixture : ::testing::Test {
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    Document doc{host, dialogs};

    void SetUp() override {
        SetLanguageOffset(kLanguageEnglish);
        doc.trace.counts.pointCount = 100;
        ClearUndo(doc.undo, doc.trace);
    }
    PointTables& T() { return doc.trace.points; }
    int UndoSteps() const { return doc.undo.pos - 1; }
    void Add(int kind, double x, double y = 0, double z = 0) {
        AppendPointXYZ(doc.trace, kind, x, y, z, std::nullopt, false);
        RebuildPath(doc.trace);
    }
    void AddControls(std::initializer_list<double> xs) {
        for (double x : xs)
            Add(kControl, x);
    }
    float Field(int kind, int index, int field) { return GetPointField(T(), kind, index, field); }
    void Set(int kind, int index, int field, float v) { SetPointField(T(), kind, index, field, v); }
    std::vector<float> Column(int kind, int field) {
        std::vector<float> v;
        for (int i = 1; i <= T().count[kind]; ++i)
            v.push_back(Field(kind, i, field));
        return v;
    }
    // The one message shown: its title and text as the string table gives them.
    void ExpectOneMessage(const QString& title, const QString& text) {
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.messages[0].title, title);
        EXPECT_EQ(dialogs.messages[0].text, text);
        EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    }
};

} // namespace kestrova::test
