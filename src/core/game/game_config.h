#pragma once
// The user's configuration of one game and the three lists of game scripts (scripts run before
// and after the camera path, scripts run when the game starts).

#include <QString>
#include <QStringList>

namespace kestrova {

struct GameConfig {
    QString ModPath; // the modification's folder; its parent is the game folder
    QString DftPathTraces;
    QString DftPathCfg;
    QString DftPathPos;
    QString DftPathBsp;
    // Empty: the engine's rule finds the home folder, and the engines' titles find the window.
    QString HomePath;
    QString WindowTitle;
};

// Value name prefixes of the three lists in a game's key ("Config1", "Config2", ...).
inline const QString kPrefixCmdsBefore = QStringLiteral("CmdsBefore");
inline const QString kPrefixCmdsAfter = QStringLiteral("CmdsAfter");
inline const QString kPrefixConfig = QStringLiteral("Config");

// A drop-down list of scripts: item 0 is always "<none>", items 1..n are paths relative to the
// game folder with "\" separators ("defrag\cams\start.cfg"), as the game's exec expects them.
class ScriptList {
public:
    static inline const QString kNone = QStringLiteral("<none>");

    ScriptList() { Clear(); }

    // Only "<none>" left, selected.
    void Clear();
    void Add(const QString& text) { items_.append(text); }
    void RemoveAt(int index); // item 0 stays

    const QStringList& Items() const { return items_; }
    // The items as a list box shows them: "<none>" in the current language.
    QStringList Shown() const;
    int Count() const { return static_cast<int>(items_.size()); }
    // Items 1..n.
    QStringList Scripts() const { return items_.mid(1); }

    int Selected() const { return selected_; }
    // An index outside the list selects item 0.
    void Select(int index);
    // Selects the item with exactly this text, else item 0; returns the index chosen.
    int SelectText(const QString& text);
    // The text shown: the selected item, "<none>" included.
    QString Text() const { return items_.value(selected_); }
    // The chosen script, or an empty text when "<none>" is selected.
    QString SelectedScript() const { return selected_ > 0 ? Text() : QString(); }

    // Result of the script picker: the chosen scripts replace items 1..n and the previous text
    // is selected again if it is still there.
    void ReplaceScripts(const QStringList& scripts);

private:
    QStringList items_;
    int selected_ = 0;
};

// Deletes from the key every value whose name starts with the prefix (any case) and is longer.
void fConfigsRegClear(const QString& key, const QString& prefix);
// Refills the list from those values, in the store's order, trimmed; selects item 0.
// True when at least one script was read.
bool fConfigsRegRead(ScriptList& list, const QString& key, const QString& prefix);
// Clears the prefix's values, then writes items 1..n as prefix + position.
// True when at least one value was written.
bool fConfigsRegSave(const ScriptList& list, const QString& key, const QString& prefix);

// The game folder of a modification folder: its parent, valid when it holds the game's
// executable. ok false gives an empty folder.
struct GameFolder {
    QString folder;
    bool ok = false;
};
GameFolder ResolveGameFolder(const QString& modFolder, int game);

// The file a script item names, for file-system use.
QString ScriptFilePath(const QString& gameFolder, const QString& item);

// Drops, from the last down to item 1, the items whose file no longer exists under the game
// folder nor under the home folder. Runs only when the list has scripts and the modification
// folder is valid.
void PruneScriptList(ScriptList& list, const QString& modFolder, int game,
                     const QString& homeFolder = QString());

// Which lists the picker fills, and the top folders each may take scripts from: the folder the
// modification really lies in, whatever its name ("defrag-1.91"), and for the game's own
// configurations the base folder too.
enum class ScriptListKind { CmdsBefore, CmdsAfter, GameConfigs };
QStringList ScriptPickerFolders(ScriptListKind kind, int game, const QString& modPath);

// The listing of the script picker: every ".cfg" file under the allowed top folders of the root
// (and directly in the root), relative to the root with "\" separators, in the folder's order.
struct ScriptPickerListing {
    QStringList items;
    QList<bool> selected; // preselected: the item equals one of the given texts exactly
    QStringList notices;  // what a bound of the folder walk left out
};
ScriptPickerListing RefreshConfigs(const QString& rootFolder, const QStringList& allowedFolders,
                                   const QStringList& preselected);
// The same over several roots (the home folder, then the game folder), each item once.
ScriptPickerListing RefreshConfigs(const QStringList& rootFolders,
                                   const QStringList& allowedFolders,
                                   const QStringList& preselected);

} // namespace kestrova
