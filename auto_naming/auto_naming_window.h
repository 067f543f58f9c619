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
    // The creation step builds the controls only. The name-list folder is listed and the first
    // surname loaded the first time the window opens (showEvent): a program that never opens it
    // never reads the folder, and its start stays quick.
    AutoNamingWindow(Database& db, const std::filesystem::path& systemFolder,
                     QWidget* parent = nullptr);
    ~AutoNamingWindow() override;

    // What the controls do.
    // A pick from the surname chooser's list, or Enter in it: loads the name list of the
    // chooser's text.
    void onSurnameChosen();
    void onFilter();  // 筛选->: the favourable names of the list into the results
    void onBlink();   // a tick of the blink timer while filtering: the heading's colour turns

    // Empties the results list; the main window asks for it before each visit.
    void clearResults();

    bool running() const { return running_; }
    const std::vector<std::string>& partialNames() const { return names_; }
    // Longest time the filter works between two turns of the event loop; zero yields after every
    // line.
    void setYieldSlice(std::chrono::microseconds slice) { yieldSlice_ = slice; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void loadSurnames();
    void stopRun();
    bool runFilter(std::vector<std::string>& found);  // false when stopped by closing
    void endRun(std::vector<std::string>& found);

    // The controls; each has its member's name, without the underscore, as object name.
    QComboBox* surnameCombo_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QPlainTextEdit* nameListView_ = nullptr;  // the chosen surname's name list
    QPushButton* filterButton_ = nullptr;
    // The results' heading; while the filter runs it reads 数据处理中 and blinks.
    QLabel* resultsHeading_ = nullptr;
    QPlainTextEdit* resultsView_ = nullptr;
    QTimer* blinkTimer_ = nullptr;

    Database& db_;
    std::filesystem::path folder_;
    std::vector<std::string> names_;  // the partial name list, GBK
    bool loaded_ = false;             // the folder has been listed (the first opening)
    bool running_ = false;
    bool stopRequested_ = false;
    std::chrono::microseconds yieldSlice_{20000};
};

}  // namespace quenvil
