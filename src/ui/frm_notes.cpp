#include "ui/frm_notes.h"

#include "core/settings/language.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kestrova::ui {

FrmNotes::FrmNotes(Trace& trace, QWidget* owner) : QWidget(owner, Qt::Tool), trace_(trace) {
    setObjectName(QStringLiteral("FrmNotes"));
    txtNotes_ = new QPlainTextEdit(this);
    txtNotes_->setObjectName(QStringLiteral("txtNotes"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(txtNotes_);
    resize(360, 240);
    ApplyLanguage();

    connect(txtNotes_, &QPlainTextEdit::textChanged, this, [this] {
        if (filling_)
            return;
        // The file keeps CR LF line ends; the box works with LF.
        trace_.notes = txtNotes_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        if (trace_.ControlCount() + trace_.ReferenceCount() > 0)
            trace_.modified = true;
        emit TraceChanged();
    });
}

void FrmNotes::ApplyLanguage() {
    setWindowTitle(QStringLiteral(" ") + fStr(590));
    txtNotes_->setToolTip(fStr(591));
}

void FrmNotes::Refresh() {
    filling_ = true;
    QString text = trace_.notes;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (txtNotes_->toPlainText() != text)
        txtNotes_->setPlainText(text);
    filling_ = false;
}

void FrmNotes::Toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    Refresh();
    show();
    raise();
    activateWindow();
    txtNotes_->setFocus();
}

void FrmNotes::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F2) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kestrova::ui
