// The main window: the command buttons and the name analysis panel. It owns the database
// connection and lends it to the naming windows.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>

#include "analysis/name_entry.h"
#include "data/data_location.h"
#include "data/database.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quenvil {

class NamingData;
class RecommendWindow;
class AutoNamingWindow;
class ManualNamingWindow;
class SemiAutoNamingWindow;
class HelpWindow;

struct AppFolders {
    std::filesystem::path program;  // data.Mdb and help/ live here
    std::filesystem::path system;   // the name lists live in its xm/
    // The folder of the data.Mdb to open when it is not program's: the user's own copy of an
    // installed program's database.
    std::filesystem::path database{};
    // Whose data.Mdb that is, and why the user's copy cannot be made (DataLocation).
    DatabaseHome home = DatabaseHome::Program;
    std::string problem{};
};

// The folders of a located program (locateData of data/data_location.h).
inline AppFolders appFolders(const DataLocation& data) {
    return {data.shipped, data.system, data.database, data.home, data.problem};
}

// Each control that tests reach has an object name: its member's name without the underscore
// (strokesOfCharacter1 ... strokesOfCharacter4 for the stroke fields).
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // The creation step: builds the window and opens the character database.
    explicit MainWindow(const AppFolders& folders);
    ~MainWindow() override;

    Database& database() { return db_; }
    void setNamingWindows(AutoNamingWindow* auto_, ManualNamingWindow* manual,
                          SemiAutoNamingWindow* semiAuto);

    // What the controls do.
    void onNameEntered();     // Enter in the name field: its strokes into the fields, then analyse
    void onAnalyse();         // 测算名字五行: the five-grid report of the stroke fields
    void onAutoNaming();      // 自动取名
    void onManualNaming();    // 手动取名
    void onSemiAutoNaming();  // 半自动取名
    void onRecommend();       // 名字推荐
    void onHelp();            // 帮助: the desktop's viewer, else the help window
    void onExit();            // 退出

    const CharacterSlots& slots() const { return slots_; }
    std::filesystem::path helpPage() const;
    // The program that opens the help page on the desktop (xdg-open from PATH by default); an
    // empty one leaves it to QDesktopServices.
    void setHelpOpener(const QString& program) { helpOpener_ = program; }
    // The help window, once 帮助 needed it.
    HelpWindow* helpWindow() const { return help_; }
    // The recommendation window, made on the first click of 名字推荐 (nullptr before).
    RecommendWindow* recommendWindow() const { return recommendWindow_.get(); }
    // A name sent from the recommendation window: into the name field, analysed as by Enter.
    void takeRecommendedName(const QString& name);

  private:
    void makeCommandButtons();
    void makeAnalysisPanel();
    void openDatabase();
    // Reads the recommendation engine's data on the first use; false (reported) when it fails.
    bool ensureNamingData();

    AppFolders folders_;
    Database db_;
    CharacterSlots slots_;

    // The command row.
    QPushButton* autoNamingButton_ = nullptr;
    QPushButton* semiAutoNamingButton_ = nullptr;
    QPushButton* manualNamingButton_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QPushButton* recommendButton_ = nullptr;
    // The analysis panel: the name, its stroke counts (one field a character slot), the report.
    QLineEdit* nameEdit_ = nullptr;
    QPushButton* analyseButton_ = nullptr;
    std::array<QLineEdit*, kSlotCount> strokeEdits_{};
    QPlainTextEdit* reportView_ = nullptr;

    AutoNamingWindow* autoNamingWindow_ = nullptr;
    ManualNamingWindow* manualNamingWindow_ = nullptr;
    SemiAutoNamingWindow* semiAutoNamingWindow_ = nullptr;
    HelpWindow* help_ = nullptr;
    QString helpOpener_;
    void showOwnHelp(const std::filesystem::path& page);
    // The recommendation engine's data, read from the database on the first use, and its
    // window; declared in this order so that the window (and its worker) goes first.
    std::unique_ptr<NamingData> naming_;
    std::unique_ptr<RecommendWindow> recommendWindow_;
};

}  // namespace quenvil
