#pragma once
// The notes window: the trace's notes in a small tool window shown and hidden with F2 or its
// button, hidden with Escape. Typing marks a trace with points modified.

#include "core/model/trace.h"

#include <QWidget>

class QPlainTextEdit;

namespace kestrova::ui {

class FrmNotes : public QWidget {
    Q_OBJECT
public:
    FrmNotes(Trace& trace, QWidget* owner);

    // Shows the trace's notes (after a load, a new trace, an import).
    void Refresh();
    // F2 and cmdTraceNotes.
    void Toggle();
    // Caption in the current language.
    void ApplyLanguage();
    // Shows the window; the first time beside its owner, off the tool tabs.
    void ShowBesideOwner();
    // Beside the owner's frame on the screen: right, else left, else over the views' lower left.
    static QPoint PlaceBeside(const QRect& ownerFrame, const QSize& size, const QRect& screen);

    QPlainTextEdit* Text() const { return txtNotes_; }

signals:
    void TraceChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Trace& trace_;
    QPlainTextEdit* txtNotes_;
    bool filling_ = false;
    bool placed_ = false;
};

} // namespace kestrova::ui
