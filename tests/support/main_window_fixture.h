#pragma once
// The main window as the editor starts it, on a fresh installation's settings, with the
// program's dialogs answered by the test; back in English afterwards.

#include "core/model/point_fields.h"
#include "core/model/point_table_ops.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/main_window/main_window.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"
#include "ui/widgets/points_grid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kestrova::test {

class MainWindowFixture : public ::testing::Test {
protected:
    void TearDown() override {
        if (w)
            w->mnuVL_Lang_Click(0);
        SetLanguageOffset(kLanguageEnglish);
    }
    // A second call starts a new window, as the next run of the editor would.
    void Start(const QString& trace = {}) {
        w.reset();
        w = std::make_unique<ui::FrmMain>();
        w->SetDialogs(&dialogs);
        w->Form_Load({trace, false});
    }
    void Show() {
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void Add(int kind, double x, double y, double z) {
        AppendPointXYZ(w->CurrentTrace(), kind, x, y, z, std::nullopt, false);
        w->PointsEdited();
    }
    void AddPoints(int kind, int n) {
        for (int i = 0; i < n; ++i)
            AppendPointXYZ(w->CurrentTrace(), kind, i * 100.0, 50.0, 0, std::nullopt, false);
        w->PointsEdited();
    }
    QAction* Action(const char* name) const { return w->Action(QString::fromLatin1(name)); }
    void Trigger(const char* name) const { Action(name)->trigger(); }
    template <typename T = QWidget> T* Find(const char* name) const {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // A key as the window's key preview sees it; true when a command took it.
    bool Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) const {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        return w->Form_KeyDown(&e);
    }
    // Closes the way the user does and lets the deferred close run.
    bool UserClose(int waitMs = 3000) const {
        w->show();
        w->close();
        return QTest::qWaitFor([this] { return !w->isVisible(); }, waitMs);
    }
    QString Path(const char* name) const {
        return QDir(registry.dir()).filePath(QString::fromLatin1(name));
    }
    ui::GlView* View() const { return w->Views3D()->View(); }
    int SelectedCount(int kind) const {
        int n = 0;
        for (int i = 1; i <= w->CurrentTrace().points.count[kind]; ++i)
            n += w->CurrentTrace().points.At(kind, i).selected ? 1 : 0;
        return n;
    }

    TempRegistry registry;
    ScriptedDialogs dialogs;
    std::unique_ptr<ui::FrmMain> w;
};

} // namespace kestrova::test
