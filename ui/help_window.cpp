// Help window.
#include "ui/help_window.h"

#include <QTextBrowser>
#include <QVBoxLayout>

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

void HelpWindow::showPage(const std::filesystem::path& page) {
    // The page is GBK; given as text, its links to its own sections scroll within it.
    browser_->setHtml(toQ(readWholeFile(page)));
    setWindowTitle(browser_->documentTitle());
    show();
    raise();
    activateWindow();
}

}  // namespace quenvil
