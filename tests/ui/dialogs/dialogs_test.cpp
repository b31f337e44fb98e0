// The small dialogs of the tool tabs and the Trace menu: script picker, export, notes, import.
#include "core/files/position_import.h"
#include "support/test_files.h"
#include "ui/dialogs/export_dialog.h"
#include "ui/dialogs/notes_window.h"
#include "ui/dialogs/script_picker.h"
#include "ui/main_window/trace_commands.h"
#include "ui/qt_dialogs.h"
#include "ui/tabs/game_tab.h"
#include "ui/tabs/tab_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace kestrova::test {
namespace {

using ui::FrmExport;
using ui::FrmGameConfigs;
using ui::FrmNotes;
using ui::GameTab;

// Runs action on the next modal dialog once it is up.
void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

// A Quake 3 folder with scripts in the mod folder, the base folder and elsewhere.
struct Quake3Folder {
    Quake3Folder() {
        for (const char* file :
             {"quake3", "defrag/cams/a.cfg", "defrag/b.CFG", "baseq3/autoexec.cfg", "other/c.cfg"})
            WriteFile(Path(file), "echo\n");
    }
    QString Path(const char* rel) const { return dir.filePath(QString::fromLatin1(rel)); }
    QTemporaryDir dir;
};

QStringList Sorted(QStringList l) {
    l.sort();
    return l;
}

TEST(GameTab, ModFolderBrowserAndScriptPickerOfItsScripts) {
    TabFixture f;
    Quake3Folder q3;
    FrmGameConfigs picker;
    GameTab tab(f.doc, f.game, picker);
    QSignalSpy changed(&tab, &GameTab::ModPathChanged);
    // The mod folder's browser repeats until a valid folder (the parent holds the game) or
    // Cancel.
    f.dialogs.paths = {q3.Path("defrag/cams"), q3.Path("defrag")};
    tab.findChild<QToolButton*>(QStringLiteral("cmdModSelectRoot"))->click();
    EXPECT_EQ(f.dialogs.fileDialogs[1].request.folder, q3.Path("defrag/cams"));
    EXPECT_EQ(f.game.Current().ModPath, q3.Path("defrag"));
    EXPECT_EQ(tab.findChild<QLabel*>(QStringLiteral("lblModPath"))->text(),
              QDir::toNativeSeparators(q3.Path("defrag")));
    f.dialogs.paths = {q3.Path("defrag/cams"), std::nullopt};
    EXPECT_FALSE(tab.SelectModFolder());
    EXPECT_EQ(f.game.Current().ModPath, q3.Path("defrag"));
    EXPECT_EQ(changed.count(), 1);

    // The picker lists the scripts of the mod and base folders; several can be chosen.
    QComboBox* configs = tab.findChild<QComboBox*>(QStringLiteral("cboGConfigs"));
    QToolButton* manager = tab.findChild<QToolButton*>(QStringLiteral("cmdGConfigManager"));

    QStringList listed;
    WhenModal([&listed](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>(QStringLiteral("lstConfigs"));
        for (int i = 0; i < list->count(); ++i) {
            listed.append(list->item(i)->text());
            list->item(i)->setSelected(list->item(i)->text() != QLatin1String("defrag\\b.CFG"));
        }
        modal->findChild<QPushButton*>(QStringLiteral("cmdOk"))->click();
    });
    manager->click();
    EXPECT_EQ(Sorted(listed),
              (QStringList{QStringLiteral("baseq3\\autoexec.cfg"), QStringLiteral("defrag\\b.CFG"),
                           QStringLiteral("defrag\\cams\\a.cfg")}));
    EXPECT_EQ(configs->count(), 3); // <none> and the two chosen
    EXPECT_TRUE(f.game.gameConfigs.Items().contains(QStringLiteral("baseq3\\autoexec.cfg")));

    // Escape and the close box leave the list as it was; the chosen items come back selected.
    const QStringList before = f.game.gameConfigs.Items();
    int preselected = 0;
    WhenModal([&preselected](QWidget* modal) {
        preselected = static_cast<int>(
            modal->findChild<QListWidget*>(QStringLiteral("lstConfigs"))->selectedItems().size());
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    manager->click();
    EXPECT_EQ(preselected, 2);
    WhenModal([](QWidget* modal) { modal->close(); });
    manager->click();
    EXPECT_TRUE(picker.Canceled());
    EXPECT_EQ(f.game.gameConfigs.Items(), before);
}

TEST(ScriptPicker, StandsUnderItsListInsideTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(ui::PickerPosition({100, 200}, {300, 250}, screen), QPoint(100, 232));
    EXPECT_EQ(ui::PickerPosition({1100, 900}, {300, 250}, screen), QPoint(980, 774));
}

TEST(Notes, StandBesideTheMainWindowNotOverItsToolTabs) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize size(368, 272);
    // Right of it (on the screen), else left of it, else over the views' lower left.
    EXPECT_EQ(FrmNotes::PlaceBeside({100, -20, 800, 600}, size, screen), QPoint(904, 0));
    EXPECT_EQ(FrmNotes::PlaceBeside({500, 100, 600, 500}, size, screen), QPoint(128, 100));
    EXPECT_EQ(FrmNotes::PlaceBeside({300, 50, 1000, 600}, size, screen), QPoint(308, 345));
}

TEST(Notes, TypingMarksATraceWithPointsAndEscapeHides) {
    TabFixture f;
    QWidget owner;
    FrmNotes notes(f.doc.trace, &owner);
    notes.Toggle();
    EXPECT_TRUE(notes.isVisible());

    // Without points, notes alone do not make a change worth saving.
    QTest::keyClicks(notes.Text(), QStringLiteral("hi"));
    EXPECT_EQ(f.doc.trace.notes, QStringLiteral("hi"));
    EXPECT_FALSE(f.doc.trace.modified);

    f.AddControlPoints(1);
    QTest::keyClick(notes.Text(), Qt::Key_Return);
    QTest::keyClicks(notes.Text(), QStringLiteral("there"));
    EXPECT_EQ(f.doc.trace.notes, QStringLiteral("hi\r\nthere"));
    EXPECT_TRUE(f.doc.trace.modified);

    QTest::keyClick(notes.Text(), Qt::Key_Escape);
    EXPECT_FALSE(notes.isVisible());

    // A loaded trace's notes (one CR LF per line) show without a trailing empty line.
    f.doc.trace.notes = QStringLiteral("line 1\r\nline 2\r\n");
    f.doc.trace.modified = false;
    notes.Refresh();
    EXPECT_EQ(notes.Text()->toPlainText(), QStringLiteral("line 1\nline 2"));
    EXPECT_FALSE(f.doc.trace.modified) << "showing the notes is no edit";
}

TEST(ExportDialog, OkOnlyWithFramesAndCancelChangesNothing) {
    TabFixture f;
    f.AddControlPoints(3);
    FrmExport dialog;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("path.kv3dsx"));

    WhenModal([](QWidget* modal) {
        auto* frames = modal->findChild<QLineEdit*>(QStringLiteral("txtAnimationFrames"));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("cmdValid"));
        frames->clear();
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(frames, QStringLiteral("4x1"));
        EXPECT_EQ(frames->text(), QStringLiteral("41"));
        EXPECT_TRUE(ok->isEnabled());
        ok->click();
    });
    f.dialogs.paths = {out};
    UniformRandom rng(1);
    EXPECT_TRUE(ui::ExportCommand(f.doc, dialog, rng));
    ASSERT_EQ(f.dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(ReadBytes(out).count("cam:"), 41);
    EXPECT_EQ(f.doc.exportFolder, dir.path());

    // It proposes the trace's own point count again; Escape is Cancel and asks for no file.
    const QString own = QString::number(f.doc.trace.counts.pointCount);
    WhenModal([own](QWidget* modal) {
        EXPECT_EQ(modal->findChild<QLineEdit*>(QStringLiteral("txtAnimationFrames"))->text(), own);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_FALSE(ui::ExportCommand(f.doc, dialog, rng));
    EXPECT_EQ(f.dialogs.fileDialogs.size(), 1);

    // The camera file: no count to choose, one data line per path point of the scripts.
    WhenModal([](QWidget* modal) {
        auto* frames = modal->findChild<QLineEdit*>(QStringLiteral("txtAnimationFrames"));
        modal->findChild<QRadioButton*>(QStringLiteral("optExportTo1"))->click();
        EXPECT_FALSE(frames->isEnabled());
        frames->clear();
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("cmdValid"));
        EXPECT_TRUE(ok->isEnabled());
        ok->click();
    });
    f.dialogs.paths = {dir.filePath(QStringLiteral("path"))};
    EXPECT_TRUE(ui::ExportCommand(f.doc, dialog, rng));
    ASSERT_EQ(f.dialogs.fileDialogs.size(), 2);
    EXPECT_EQ(f.dialogs.fileDialogs[1].request.filter, QStringLiteral("advancedfx Cam (*.cam)"));
    EXPECT_EQ(f.dialogs.fileDialogs[1].request.title,
              QStringLiteral("Choose a name and a location for the exported camera path."));
    const QByteArray cam = ReadBytes(dir.filePath(QStringLiteral("path.cam")));
    EXPECT_TRUE(cam.startsWith("advancedfx Cam\nversion 2\n"));
    // Three control points and a count of 1000: two segments of 500 steps and the last point.
    EXPECT_EQ(cam.count('\n') - 4, 1001);
}

TEST(ImportCommand, DefragFileAppendsAfterTheQuestionAndRemembersTheFolder) {
    TabFixture f;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pos.dfcp"));
    WriteFile(file, "header\r\np1: 10,20,30,5,90,0,0,100\"\r\np2: 40,50,60,-5,180,0,2,0\"\r\n");
    f.AddControlPoints(2);
    f.dialogs.answers = {DialogAnswer::No}; // append
    f.dialogs.paths = {file};
    EXPECT_TRUE(ui::ImportCommand(f.doc, f.game));
    EXPECT_EQ(f.dialogs.messages.size(), 1);
    EXPECT_FLOAT_EQ(f.doc.trace.points.At(kControl, 4).x, 40.0f);
    EXPECT_EQ(f.game.Current().DftPathPos, dir.path());

    // Cancel on the question imports nothing.
    f.dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_FALSE(ui::ImportCommand(f.doc, f.game));
    EXPECT_EQ(f.doc.trace.ControlCount(), 4);
}

TEST(ImportCommand, EtProFolderStartsANewTraceAndOffersToRemoveTheFiles) {
    TabFixture f(kGameEtPro);
    QTemporaryDir dir;
    for (const char* name : {"a.epcp", "b.epcp"})
        WriteFile(dir.filePath(QString::fromLatin1(name)), "(100 200 300) 0 45\n0123456789abc90\"");
    QStringList trashed;
    f.doc.moveToTrash = [&trashed](const QString& path) {
        trashed.append(QFileInfo(path).fileName());
        return true;
    };
    f.dialogs.paths = {dir.path()};
    f.dialogs.answers = {DialogAnswer::Yes}; // remove the source files
    EXPECT_TRUE(ui::ImportCommand(f.doc, f.game));
    EXPECT_EQ(f.doc.trace.ControlCount(), 2);
    EXPECT_EQ(Sorted(trashed), (QStringList{QStringLiteral("a.epcp"), QStringLiteral("b.epcp")}));
    EXPECT_EQ(f.dialogs.fileDialogs[0].kind, RecordedFileDialog::Folder);
}

TEST(FileDialogs, StartAwayFromPseudoFilesAndListWithoutReadingAFile) {
    QTemporaryDir dir;
    QFileDialog inProc;
    ui::PrepareFileDialog(inProc, "/proc/self/fd");
    EXPECT_EQ(inProc.directory().absolutePath(), QDir::homePath());

    // Names that say nothing of the type: a content sniffer would open each one.
    for (const char* name : {"README", "data", "take.unknownext", "shot.dfkv"})
        WriteFile(dir.filePath(QString::fromLatin1(name)), "some words\n");
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(
        inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_OPEN | IN_ACCESS),
        0);
    QFileDialog dialog;
    ui::PrepareFileDialog(dialog, dir.path());
    auto* model = dialog.findChild<QFileSystemModel*>(QStringLiteral("qt_filesystem_model"));
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog.show();
    ASSERT_TRUE(loaded.wait(5000) || !loaded.isEmpty());
    const QModelIndex root = model->index(dir.path());
    EXPECT_EQ(model->rowCount(root), 4);
    for (int row = 0; row < model->rowCount(root); ++row) {
        model->data(model->index(row, 0, root), Qt::DecorationRole);
        model->type(model->index(row, 0, root));
    }
    QTest::qWait(300); // the icons and types come from a worker thread
    EXPECT_EQ(model->type(model->index(dir.filePath("data"))), "unknown");
    QStringList opened;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = ::read(watch, buffer, sizeof buffer)) > 0;)
        for (char* p = buffer; p < buffer + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            if (e->len > 0) // a file of the folder, not the folder being listed
                opened << QString::fromLocal8Bit(e->name);
            p += sizeof(inotify_event) + e->len;
        }
    ::close(watch);
    EXPECT_EQ(opened, QStringList());
}

TEST(MessageBox, IsWideEnoughForItsTitle) {
    const QString title = QStringLiteral(" Changer de jeu : le tracé actuel est fermé");
    QMessageBox box(QMessageBox::Question, title, QStringLiteral("Ok?"),
                    QMessageBox::Yes | QMessageBox::No);
    ui::MakeRoomForTitle(box);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QFont bold = box.font();
    bold.setBold(true);
    EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(title) + 100);
}

} // namespace
} // namespace kestrova::test
