#include "core/dialogs.h"

namespace kestrova {

DialogAnswer SilentDialogs::Message(const QString& title, const QString& text, MessageIcon,
                                    MessageButtons buttons) {
    messages.append(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    switch (buttons) {
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

void BatchDialogs::Tell(const QString& text) const {
    if (sink_)
        sink_(text);
}

DialogAnswer BatchDialogs::Message(const QString& title, const QString& text, MessageIcon,
                                   MessageButtons buttons) {
    QString line = title.trimmed().isEmpty() ? text : title.trimmed() + QStringLiteral(": ") + text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    DialogAnswer answer = DialogAnswer::Ok;
    switch (buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::YesNo:
        answer = DialogAnswer::No;
        break;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
    case MessageButtons::RetryCancel:
        answer = DialogAnswer::Cancel;
        break;
    }
    if (buttons != MessageButtons::Ok)
        line += answer == DialogAnswer::No ? QStringLiteral(" [answered No]")
                                           : QStringLiteral(" [answered Cancel]");
    Tell(line);
    return answer;
}

std::optional<QString> BatchDialogs::OpenFile(const FileDialogRequest& request) {
    Tell(request.title + QStringLiteral(": no file chosen (batch run)"));
    return std::nullopt;
}

std::optional<QString> BatchDialogs::SaveFile(const FileDialogRequest& request) {
    Tell(request.title + QStringLiteral(": no file chosen (batch run)"));
    return std::nullopt;
}

std::optional<QString> BatchDialogs::ChooseFolder(const QString& title, const QString&) {
    Tell(title + QStringLiteral(": no folder chosen (batch run)"));
    return std::nullopt;
}

} // namespace kestrova
