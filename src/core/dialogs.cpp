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

} // namespace kestrova
