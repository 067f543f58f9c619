// The automatic naming window: the surname chooser, the surname's name list and the filter.
#pragma once

#include <QDialog>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "data/database.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace quenvil {

class AutoNamingWindow : public QDialog {
    Q_OBJECT
  public:
    // The creation step: lists the name-list folder and loads the first surname.
    AutoNamingWindow(Database& db, const std::filesystem::path& systemFolder,
                     QWidget* parent = nullptr);
    ~AutoNamingWindow() override;

    // A pick from the chooser's list or Enter in the chooser: loads the list of the chooser's text.
    void ComboBox1Select();
    void Button1Click();  // the filter run
    void Timer1Timer();   // blink tick
    void Button5Click();  // close

    // Empties the results list; the main window asks for it before each visit.
    void clearResults();

    bool running() const { return running_; }
    const std::vector<std::string>& partialNames() const { return names_; }
    // Longest time the filter works between two turns of the event loop; zero yields after every
    // line.
    void setYieldSlice(std::chrono::microseconds slice) { yieldSlice_ = slice; }

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* Button5;
    QLabel* Label2;
    QPlainTextEdit* Memo2;
    QPushButton* Button1;
    QLabel* Label3;
    QPlainTextEdit* Memo3;
    QTimer* Timer1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void stopRun();
    bool runFilter(std::vector<std::string>& found);  // false when stopped by closing
    void endRun(std::vector<std::string>& found);

    Database& db_;
    std::filesystem::path folder_;
    std::vector<std::string> names_;  // the partial name list, GBK
    bool running_ = false;
    bool stopRequested_ = false;
    std::chrono::microseconds yieldSlice_{20000};
};

}  // namespace quenvil
