#include "ui/dialogs/notes_window.h"

#include "core/settings/language.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

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
    ShowBesideOwner();
    raise();
    activateWindow();
    txtNotes_->setFocus();
}

QPoint FrmNotes::PlaceBeside(const QRect& ownerFrame, const QSize& size, const QRect& screen) {
    constexpr int kGap = 4;
    int x = ownerFrame.right() + 1 + kGap;
    if (x + size.width() - 1 > screen.right()) {
        x = ownerFrame.left() - kGap - size.width();
        // No room on either side: the views are on the owner's left, its tool tabs on the right.
        if (x < screen.left())
            x = std::max(screen.left(), ownerFrame.left() + 2 * kGap);
    }
    int y = ownerFrame.top();
    if (x > ownerFrame.left() && x < ownerFrame.right())
        y = ownerFrame.bottom() - size.height() - 8 * kGap;
    y = std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height()));
    return {x, y};
}

void FrmNotes::ShowBesideOwner() {
    if (!placed_ && parentWidget()) {
        const QWidget* owner = parentWidget()->window();
        const QScreen* screen = owner->screen();
        // The frame's size is known once shown; the title bar and borders are allowed for.
        const QSize frame = size() + QSize(8, 32);
        move(PlaceBeside(owner->frameGeometry(), frame,
                         screen ? screen->availableGeometry() : owner->frameGeometry()));
        placed_ = true;
    }
    show();
}

void FrmNotes::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F2) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kestrova::ui
