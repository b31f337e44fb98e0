#pragma once
// A Dialogs implementation for tests: records every call and returns prepared answers in order.

#include "core/dialogs.h"

#include <QList>
#include <deque>
#include <stdexcept>

namespace kestrova::test {

struct RecordedMessage {
    QString title;
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
};

struct RecordedFileDialog {
    enum Kind { Open, Save, Folder } kind;
    FileDialogRequest request;
};

class ScriptedDialogs : public Dialogs {
public:
    DialogAnswer Message(const QString& title, const QString& text, MessageIcon icon,
                         MessageButtons buttons) override {
        messages.append({title, text, icon, buttons});
        if (answers.empty())
            return DefaultAnswer(buttons);
        DialogAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> OpenFile(const FileDialogRequest& r) override {
        fileDialogs.append({RecordedFileDialog::Open, r});
        return NextPath();
    }
    std::optional<QString> SaveFile(const FileDialogRequest& r) override {
        fileDialogs.append({RecordedFileDialog::Save, r});
        return NextPath();
    }
    std::optional<QString> ChooseFolder(const QString& title, const QString& folder) override {
        FileDialogRequest r;
        r.title = title;
        r.folder = folder;
        fileDialogs.append({RecordedFileDialog::Folder, r});
        return NextPath();
    }
    void Beep() override { ++beeps; }

    // Prepared answers, consumed in order; when none is left, Ok/Yes/Cancel as for a user
    // pressing Enter.
    std::deque<DialogAnswer> answers;
    // Prepared paths; std::nullopt stands for Cancel. When none is left, Cancel.
    std::deque<std::optional<QString>> paths;

    QList<RecordedMessage> messages;
    QList<RecordedFileDialog> fileDialogs;
    int beeps = 0;

private:
    static DialogAnswer DefaultAnswer(MessageButtons b) {
        switch (b) {
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            return DialogAnswer::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return DialogAnswer::Yes;
        case MessageButtons::RetryCancel:
            return DialogAnswer::Cancel;
        }
        return DialogAnswer::Cancel;
    }
    std::optional<QString> NextPath() {
        std::optional<QString> p;
        if (!paths.empty()) {
            p.swap(paths.front());
            paths.pop_front();
        }
        return p;
    }
};

} // namespace kestrova::test
