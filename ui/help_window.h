// The program's own help window, for a desktop that has nothing to open the help page with.
#pragma once

#include <QWidget>
#include <filesystem>

class QTextBrowser;

namespace quenvil {

class HelpWindow : public QWidget {
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows a GBK HTML page; its title becomes the window's title. Throws std::runtime_error
    // when the page cannot be read.
    void showPage(const std::filesystem::path& page);

    QTextBrowser* browser() const { return browser_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;  // Escape closes the window

  private:
    void place();
    QTextBrowser* browser_;
};

}  // namespace quenvil
