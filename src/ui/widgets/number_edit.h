#pragma once
// The program's edit box for typed values: it remembers its text when it gets the focus, Escape
// brings that text back, Enter validates, and a refused value keeps the focus with the text
// selected after a beep.

#include "core/dialogs.h"

#include <QLineEdit>
#include <functional>

namespace kestrova::ui {

// Which keys a number box lets through besides digits and Backspace.
struct NumberKeys {
    bool minus = false;
    bool decimal = false; // "." and ","
    bool any = false;     // no filter at all
};

bool NumberKeyAllowed(const NumberKeys& keys, QChar ch);

class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    // validate gets the typed text and returns false to refuse it; it may rewrite the text.
    using Validator = std::function<bool(const QString&)>;

    NumberEdit(const QString& objectName, NumberKeys keys, QWidget* parent = nullptr);

    void SetValidator(Validator validate) { validate_ = std::move(validate); }
    void SetDialogs(Dialogs& dialogs) { dialogs_ = &dialogs; }
    // Shows a value set by the program; it also becomes the text Escape restores.
    void ShowValue(const QString& text);
    const QString& StoredText() const { return stored_; }
    // Abandons a pending edit: the remembered text comes back.
    void RestoreText();
    // Runs the validation as Enter does; false when refused.
    bool ValidateNow();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    NumberKeys keys_;
    Validator validate_;
    Dialogs* dialogs_ = nullptr;
    QString stored_;
};

} // namespace kestrova::ui
