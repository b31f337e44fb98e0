#include "core/game/game_state.h"

#include "core/dialogs.h"
#include "core/game/game_home.h"
#include "core/model/trace.h"
#include "core/script/game_profile.h"
#include "core/script/run_options.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"

#include <QDir>
#include <QFileInfo>

namespace kestrova {

namespace {
constexpr int kModFolderPurpose = 703;
constexpr int kNotAModFolder = 704;
} // namespace

const GameProfile& GameState::CurrentProfile() const {
    return Profile(Game());
}

QString GameState::CurrentKey() const {
    return CurrentProfile().registryKey;
}

ScriptList& GameState::List(ScriptListKind kind) {
    switch (kind) {
    case ScriptListKind::CmdsBefore:
        return cmdsBefore;
    case ScriptListKind::CmdsAfter:
        return cmdsAfter;
    case ScriptListKind::GameConfigs:
        break;
    }
    return gameConfigs;
}

GameOnlyControls GameState::Visible() const {
    return GameOnlyControlsFor(Game());
}

void SaveGameConfigs(GameState& state) {
    RegistryBatch batch;
    for (int game = 0; game < kGameCount; ++game) {
        const QString key = Profile(game).registryKey;
        const GameConfig& c = state.configs[game];
        RegWriteValue(key, QStringLiteral("ModPath"), RegType::Sz, c.ModPath);
        RegWriteValue(key, QStringLiteral("DftPathTraces"), RegType::Sz, c.DftPathTraces);
        RegWriteValue(key, QStringLiteral("DftPathCfg"), RegType::Sz, c.DftPathCfg);
        RegWriteValue(key, QStringLiteral("DftPathPos"), RegType::Sz, c.DftPathPos);
        RegWriteValue(key, QStringLiteral("DftPathBsp"), RegType::Sz, c.DftPathBsp);
        RegWriteValue(key, QStringLiteral("HomePath"), RegType::Sz, c.HomePath);
        RegWriteValue(key, QStringLiteral("WindowTitle"), RegType::Sz, c.WindowTitle);
    }
    const QString key = state.CurrentKey();
    if (state.saveRecentFiles)
        state.saveRecentFiles(key);
    fConfigsRegSave(state.cmdsBefore, key, kPrefixCmdsBefore);
    fConfigsRegSave(state.cmdsAfter, key, kPrefixCmdsAfter);
    fConfigsRegSave(state.gameConfigs, key, kPrefixConfig);
    state.aviDemos.Save(key);
}

void LoadGameLists(GameState& state) {
    const QString key = state.CurrentKey();
    if (state.loadRecentFiles)
        state.loadRecentFiles(key);
    state.loadingLists = true;
    fConfigsRegRead(state.cmdsBefore, key, kPrefixCmdsBefore);
    fConfigsRegRead(state.cmdsAfter, key, kPrefixCmdsAfter);
    fConfigsRegRead(state.gameConfigs, key, kPrefixConfig);
    state.loadingLists = false;
    state.aviDemos.Load(key);
}

GameOnlyControls GameOnlyControlsFor(int game) {
    GameOnlyControls c;
    c.demoControl = game == kGameEtPro;
    c.autoStart = game == kGameEtPro;
    c.transSpeed = game == kGameDefrag;
    return c;
}

bool SwitchGame(GameState& state, int index, bool skipSave) {
    if (index == state.currentGame || index < 0 || index >= kGameCount)
        return false;
    if (!skipSave && state.currentGame >= 0)
        SaveGameConfigs(state);
    state.currentGame = index;
    LoadGameLists(state);
    ApplyModPath(state);
    return true;
}

bool ChooseGameFromMenu(GameState& state, int index, const std::function<bool()>& newTrace) {
    if (index == state.currentGame || index < 0 || index >= kGameCount)
        return false;
    if (newTrace && !newTrace())
        return false;
    return SwitchGame(state, index, false);
}

void SwitchToStartupGame(GameState& state, int storedGame) {
    const int game = storedGame == kGameDefrag ? kGameDefrag : kGameEtPro;
    state.currentGame = game - 1;
    SwitchGame(state, game, true);
}

GameFolder ResolveGameFolder(const GameState& state, const QString& modFolder) {
    return ResolveGameFolder(modFolder.isEmpty() ? state.Current().ModPath : modFolder,
                             state.Game());
}

void ApplyModPath(GameState& state) {
    const QString modPath = state.Current().ModPath;
    const QString home = HomeFolder(state.Current(), state.Game());
    state.loadingLists = true;
    PruneScriptList(state.cmdsBefore, modPath, state.Game(), home);
    PruneScriptList(state.cmdsAfter, modPath, state.Game(), home);
    PruneScriptList(state.gameConfigs, modPath, state.Game(), home);
    state.loadingLists = false;
}

QString DeepestExistingFolder(const QString& path) {
    QString p = QDir::fromNativeSeparators(path.trimmed());
    while (!p.isEmpty()) {
        if (QFileInfo(p).isDir())
            return p;
        const qsizetype cut = p.lastIndexOf(QLatin1Char('/'));
        if (cut < 0 || p == QLatin1String("/"))
            break;
        p = cut == 0 ? QStringLiteral("/") : p.left(cut);
    }
    return QString();
}

bool AskModFolder(GameState& state, Dialogs& dialogs) {
    const GameProfile& profile = state.CurrentProfile();
    const QString text = fStr(550, profile.modId, profile.executable);
    const QString names = profile.ExecutablesThisSystemFirst().join(QStringLiteral(", "));
    // A folder dialog alone does not say what it is for, nor what makes a folder right.
    dialogs.Message(profile.displayName,
                    fStr(kModFolderPurpose, profile.displayName, profile.gameName, names),
                    MessageIcon::Information, MessageButtons::Ok);
    QString start = DeepestExistingFolder(state.Current().ModPath);
    for (;;) {
        const std::optional<QString> chosen = dialogs.ChooseFolder(text, start);
        if (!chosen)
            return false;
        if (ResolveGameFolder(*chosen, state.Game()).ok) {
            state.Current().ModPath = *chosen;
            ApplyModPath(state);
            return true;
        }
        dialogs.Message(
            profile.displayName,
            fStr(kNotAModFolder, QDir::toNativeSeparators(*chosen), profile.displayName, names),
            MessageIcon::Warning, MessageButtons::Ok);
        start = *chosen;
    }
}

std::optional<ScriptPickerRequest> PrepareChooseScripts(GameState& state, ScriptListKind kind,
                                                        Dialogs& dialogs) {
    GameFolder gameFolder = ResolveGameFolder(state);
    if (!gameFolder.ok) {
        // Once the folder is known, the picker the user asked for opens.
        if (!AskModFolder(state, dialogs))
            return std::nullopt;
        gameFolder = ResolveGameFolder(state);
        if (!gameFolder.ok)
            return std::nullopt;
    }
    ScriptPickerRequest request;
    request.gameFolder = gameFolder.folder;
    request.roots = GameRootSearchPath(state.Current(), state.Game());
    request.allowedFolders = ScriptPickerFolders(kind, state.Game(), state.Current().ModPath);
    request.preselected = state.List(kind).Scripts();
    return request;
}

void ApplyChosenScripts(GameState& state, ScriptListKind kind, const QStringList& chosen) {
    state.loadingLists = true;
    ScriptList& list = state.List(kind);
    list.ReplaceScripts(chosen);
    // A start-up script chosen while none was selected is the one the game starts with.
    if (kind == ScriptListKind::GameConfigs && list.Selected() == 0 && list.Count() > 1)
        list.Select(1);
    state.loadingLists = false;
}

void CopyScriptSelections(const GameState& state, ScriptRunOptions& options) {
    options.commandsBefore = state.cmdsBefore.SelectedScript();
    options.commandsAfter = state.cmdsAfter.SelectedScript();
}

void SelectScriptByUser(GameState& state, ScriptListKind kind, int index, Trace& trace) {
    state.List(kind).Select(index);
    if (!state.loadingLists && trace.ControlCount() >= 1)
        trace.modified = true;
}

} // namespace kestrova
