// Help window.
#include "ui/help_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

#include "text/lines.h"
#include "ui/qt_text.h"

namespace quenvil {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    browser_ = new QTextBrowser(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(820, 640);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// 820 x 640 where the screen has room, else what it has; centred on the window it belongs to,
// inside the screen.
void HelpWindow::place() {
    QWidget* owner = parentWidget();
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = QSize(820, 640).boundedTo(area.size() - QSize(40, 80));
    resize(size);
    const QPoint centre = owner ? owner->frameGeometry().center() : area.center();
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(centre);
    frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width()));
    frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - frame.height()));
    move(frame.topLeft());
}

void HelpWindow::showPage(const std::filesystem::path& page) {
    // The page is GBK; given as text, its links to its own sections scroll within it.
    browser_->setHtml(toQ(readWholeFile(page)));
    setWindowTitle(browser_->documentTitle());
    if (!isVisible()) place();
    show();
    raise();
    activateWindow();
    browser_->setFocus();  // the keys scroll the page; Escape closes it
}

}  // namespace quenvil
