#pragma once
// The program's questions and messages to the user. The editor answers them with Qt dialogs;
// tests answer with ScriptedDialogs; the command line answers without asking.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kestrova {

enum class MessageIcon { None, Information, Question, Warning, Critical };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class DialogAnswer { Ok, Cancel, Yes, No, Retry };

struct FileDialogRequest {
    QString title;
    QString folder;    // starting folder
    QString fileName;  // proposed name
    QString filter;    // Qt filter text, e.g. "Defrag Kestrova (*.dfkv)"
    QString extension; // default extension without the dot
};

// The maps a game folder offers, for Map > Load.
struct MapListRequest {
    QString title;
    QString folder;
    QStringList maps; // names relative to maps/, sorted
    QString current;  // the name to select first, if listed
};

struct MapChoice {
    // Browse: pick a loose file in the file dialog; Folder: list another game folder.
    enum class Kind { Cancel, Map, Browse, Folder };
    Kind kind = Kind::Cancel;
    QString name;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal message; returns the button pressed (Cancel when the box is closed).
    virtual DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                                 MessageButtons buttons) = 0;
    // A path, or nothing when the user cancels.
    virtual std::optional<QString> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseFolder(const QString& title, const QString& folder) = 0;
    virtual void Beep() = 0;

    // An information box with OK that closes itself after autoCloseMs; implementations that
    // cannot time a box show it as a plain message.
    virtual void TimedInform(const QString& title, const QString& text, int autoCloseMs) {
        (void)autoCloseMs;
        Message(title, text, MessageIcon::Information, MessageButtons::Ok);
    }

    // One map out of a game folder's list. Implementations without a list go to the file dialog.
    virtual MapChoice ChooseMap(const MapListRequest& request) {
        (void)request;
        return {MapChoice::Kind::Browse, {}};
    }

    // Shorthand for the common information box with OK.
    void Inform(const QString& title, const QString& text) {
        Message(title, text, MessageIcon::Information, MessageButtons::Ok);
    }
};

// Answers nothing and shows nothing: for batch use where no one is there to ask.
// Questions get their default (Ok / Yes / Cancel for Retry) and file dialogs are cancelled.
class SilentDialogs : public Dialogs {
public:
    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override;
    std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> ChooseFolder(const QString&, const QString&) override {
        return std::nullopt;
    }
    void Beep() override {}

    // Every message seen, so a batch tool can report them (e.g. as warnings on stderr).
    QStringList messages;
};

// For runs that must end on their own (the editor's batch pictures): nothing waits for an answer.
// Messages go to the sink; questions get their safe default (Cancel, or No where there is no
// Cancel); file and folder choosers are cancelled.
class BatchDialogs : public Dialogs {
public:
    explicit BatchDialogs(std::function<void(const QString&)> sink) : sink_(std::move(sink)) {}
    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override;
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
    std::optional<QString> ChooseFolder(const QString& title, const QString& folder) override;
    void Beep() override {}

private:
    void Tell(const QString& text) const;
    std::function<void(const QString&)> sink_;
};

// Hands every call to another implementation that can be replaced at any time, so objects that
// keep a Dialogs reference follow a swap (tests answer the editor's questions this way).
class ForwardingDialogs : public Dialogs {
public:
    explicit ForwardingDialogs(Dialogs& target) : target_(&target) {}
    void SetTarget(Dialogs& target) { target_ = &target; }
    Dialogs& Target() const { return *target_; }

    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override {
        return target_->Message(title, text, icon, buttons);
    }
    std::optional<QString> OpenFile(const FileDialogRequest& r) override {
        return target_->OpenFile(r);
    }
    std::optional<QString> SaveFile(const FileDialogRequest& r) override {
        return target_->SaveFile(r);
    }
    std::optional<QString> ChooseFolder(const QString& title, const QString& folder) override {
        return target_->ChooseFolder(title, folder);
    }
    void Beep() override { target_->Beep(); }
    void TimedInform(const QString& title, const QString& text, int autoCloseMs) override {
        target_->TimedInform(title, text, autoCloseMs);
    }
    MapChoice ChooseMap(const MapListRequest& request) override {
        return target_->ChooseMap(request);
    }

private:
    Dialogs* target_;
};

} // namespace kestrova
