#include "ui/dialogs/demo_browser.h"

#include "core/settings/language.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kNodeRole = Qt::UserRole;
constexpr int kShowGraceMs = 500;

QPixmap FolderPicture(const QColor& fill, bool open, bool empty) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor edge = empty ? QColor(140, 140, 140) : QColor(150, 110, 20);
    p.setPen(edge);
    p.setBrush(empty ? QColor(235, 235, 235) : fill);
    p.drawRect(1, 3, 6, 2); // the tab
    p.drawRect(1, 4, 13, 10);
    if (open) {
        p.setBrush(fill.lighter(125));
        QPolygon flap;
        flap << QPoint(3, 7) << QPoint(15, 7) << QPoint(13, 14) << QPoint(1, 14);
        p.drawPolygon(flap);
    }
    return pm;
}

QPixmap DemoPicture(bool notes) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    // A strip of film.
    p.setPen(QColor(30, 50, 90));
    p.setBrush(QColor(70, 110, 180));
    p.drawRect(1, 2, 13, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int x = 3; x <= 12; x += 3) {
        p.drawRect(x, 3, 1, 1);
        p.drawRect(x, 11, 1, 1);
    }
    if (notes) {
        p.setPen(QColor(120, 100, 0));
        p.setBrush(QColor(255, 230, 90));
        p.drawRect(8, 7, 7, 8);
        p.drawLine(10, 10, 13, 10);
        p.drawLine(10, 12, 13, 12);
    }
    return pm;
}

} // namespace

QIcon DemoIcon(int image) {
    static const QList<QIcon> icons = {
        QIcon(),
        QIcon(FolderPicture(QColor(240, 200, 80), false, false)),
        QIcon(FolderPicture(QColor(240, 200, 80), true, false)),
        QIcon(FolderPicture(QColor(240, 200, 80), false, true)),
        QIcon(DemoPicture(false)),
        QIcon(DemoPicture(true)),
    };
    return icons.value(image);
}

QPoint DemosPosition(QPoint buttonTopLeft, QSize window, QRect screen) {
    // 960 twips below the button's top.
    QPoint p(buttonTopLeft.x(), buttonTopLeft.y() + 960 / kTwipsPerPixel);
    if (p.x() + window.width() > screen.right() + 1)
        p.setX(screen.right() + 1 - window.width());
    if (p.y() + window.height() > screen.bottom() + 1)
        p.setY(screen.bottom() + 1 - window.height());
    // Its title bar and left edge stay on the screen whatever its size.
    return QPoint(std::max(p.x(), screen.left()), std::max(p.y(), screen.top()));
}

FrmDemos::FrmDemos(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName(QStringLiteral("FrmDemos"));
    tvwDemos_ = new QTreeWidget(this);
    tvwDemos_->setObjectName(QStringLiteral("tvwDemos"));
    tvwDemos_->setHeaderHidden(true);
    tvwDemos_->setFrameShape(QFrame::NoFrame);
    tvwDemos_->setIndentation(12);
    tvwDemos_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(tvwDemos_);
    resize(240, 320);

    mnuMain_ = new QMenu(this);
    mnuMain_->setObjectName(QStringLiteral("mnuMain"));
    QAction* notes = mnuMain_->addAction(QStringLiteral("Notes"));
    notes->setObjectName(QStringLiteral("mnuNotes"));
    mnuMain_->setDefaultAction(notes);
    connect(notes, &QAction::triggered, this, &FrmDemos::mnuNotes_Click);

    openNotes = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };

    connect(tvwDemos_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { tree_.Select(NodeOf(item)); });
    connect(tvwDemos_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const int node = NodeOf(item);
        if (node < 0 || !tree_.Nodes()[node].IsDemo())
            return;
        emit DemoSelected(tree_.FullPath(node));
        hide();
    });
    connect(tvwDemos_, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QTreeWidgetItem* item = tvwDemos_->itemAt(at);
        if (!item)
            return;
        tvwDemos_->setCurrentItem(item);
        const int node = NodeOf(item);
        if (node >= 0 && tree_.Nodes()[node].IsDemo())
            mnuMain_->popup(tvwDemos_->viewport()->mapToGlobal(at) + QPoint(12, 7));
    });
    connect(tvwDemos_, &QTreeWidget::itemExpanded, this,
            [](QTreeWidgetItem* item) { item->setIcon(0, DemoIcon(kImageFolderOpen)); });
    connect(tvwDemos_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        const int node = NodeOf(item);
        if (node >= 0)
            item->setIcon(0, DemoIcon(tree_.Nodes()[node].image));
    });
    ApplyLanguage();
}

void FrmDemos::ApplyLanguage() {
    setWindowTitle(fStr(600));
}

void FrmDemos::SetSearchPath(const QStringList& modFolders) {
    tree_.SetSearchPath(modFolders);
    Fill();
    emit DemoListUpdated();
}

void FrmDemos::RefreshList() {
    if (searchPath)
        tree_.SetSearchPath(searchPath());
    else
        tree_.RefreshList();
    Fill();
    emit DemoListUpdated();
}

bool FrmDemos::FindDemo(const QString& name) {
    if (SelectItem(name))
        return true;
    if (searchPath)
        tree_.SetSearchPath(searchPath());
    else
        tree_.RefreshList();
    Fill();
    return SelectItem(name);
}

void FrmDemos::Fill() {
    const QSignalBlocker block(tvwDemos_);
    tvwDemos_->clear();
    items_.clear();
    for (int i = 0; i < tree_.Count(); ++i) {
        const DemoNode& node = tree_.Nodes()[i];
        QTreeWidgetItem* parent = items_.value(node.parent);
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvwDemos_);
        item->setText(0, node.text);
        item->setIcon(0, DemoIcon(node.image));
        item->setData(0, kNodeRole, i);
        if (!node.IsDemo())
            item->setToolTip(0, QString());
        items_.append(item);
    }
    // A walk cut short by its bounds says so at the end of the tree.
    for (const QString& notice : tree_.Notices()) {
        auto* item = new QTreeWidgetItem(tvwDemos_);
        item->setText(0, notice);
        item->setData(0, kNodeRole, -1);
        item->setFlags(Qt::ItemIsEnabled);
    }
}

int FrmDemos::NodeOf(QTreeWidgetItem* item) const {
    return item ? item->data(0, kNodeRole).toInt() : -1;
}

bool FrmDemos::SelectItem(const QString& name) {
    if (!tree_.SelectItem(name))
        return false;
    const QSignalBlocker block(tvwDemos_);
    tvwDemos_->setCurrentItem(items_.value(tree_.Selected()));
    return true;
}

void FrmDemos::SetPosition(QWidget* owner, QWidget* button) {
    QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    const QPoint at = button ? button->mapToGlobal(QPoint(0, 0)) : QPoint();
    const QRect available = screen->availableGeometry();
    // The frame is known once the window has been shown; before, the decorations are guessed.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(8, 32);
    resize(size().boundedTo(available.size() - frame));
    move(DemosPosition(at, size() + frame, available));
}

void FrmDemos::ApplyStoredSize(int widthTwips, int heightTwips) {
    QSize s = size();
    if (widthTwips > 0)
        s.setWidth(widthTwips / kTwipsPerPixel);
    if (heightTwips > 0)
        s.setHeight(heightTwips / kTwipsPerPixel);
    resize(s);
}

int FrmDemos::WidthTwips() const {
    return width() * kTwipsPerPixel;
}

int FrmDemos::HeightTwips() const {
    return height() * kTwipsPerPixel;
}

void FrmDemos::mnuNotes_Click() {
    const QString path = tree_.EnsureNotesFile(tree_.Selected());
    if (!path.isEmpty() && openNotes)
        openNotes(path);
}

void FrmDemos::RefreshSelectedMark() {
    const int node = tree_.Selected();
    if (node < 0 || !tree_.Nodes()[node].IsDemo())
        return;
    tree_.RefreshNotesMark(node);
    if (QTreeWidgetItem* item = items_.value(node))
        item->setIcon(0, DemoIcon(tree_.Nodes()[node].image));
}

void FrmDemos::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FrmDemos::JustShown() const {
    return isVisible() && shown_.isValid() && shown_.elapsed() < kShowGraceMs;
}

void FrmDemos::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    shown_.start();
}

void FrmDemos::closeEvent(QCloseEvent* event) {
    // Closing only hides: the tree and its selection stay for the next time.
    event->ignore();
    hide();
}

void FrmDemos::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow()) {
        // Notes written in the editor meanwhile show now.
        RefreshSelectedMark();
    } else if (isVisible() && !mnuMain_->isVisible()) {
        // Just shown after a message box: the focus the box gives back to the main window is
        // not the user leaving the browser.
        if (JustShown()) {
            activateWindow();
            return;
        }
        hide();
    }
}

} // namespace kestrova::ui
