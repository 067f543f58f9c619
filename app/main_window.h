// The main window: the command buttons and the name analysis panel. It owns the database
// connection and lends it to the naming windows.
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>

#include "analysis/name_entry.h"
#include "data/database.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QFrame;

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
};

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // The creation step: builds the window and opens the character database.
    explicit MainWindow(const AppFolders& folders);
    ~MainWindow() override;

    Database& database() { return db_; }
    void setNamingWindows(AutoNamingWindow* auto_, ManualNamingWindow* manual,
                          SemiAutoNamingWindow* semiAuto);

    // Handlers.
    void Edit1KeyPress();  // Enter in the name field
    void Button6Click();   // the five-grid report
    void Button2Click();   // automatic naming
    void Button3Click();   // manual naming
    void Button7Click();   // semi-automatic naming
    void Button8Click();   // name recommendations
    void Button4Click();   // help page: the desktop's viewer, else the help window
    void Button5Click();   // exit

    const CharacterSlots& slots() const { return slots_; }
    std::filesystem::path helpPage() const;
    // The help window, once 帮助 needed it.
    HelpWindow* helpWindow() const { return help_; }
    // The recommendation window, made on the first click of 名字推荐 (nullptr before).
    RecommendWindow* recommendWindow() const { return recommendWindow_.get(); }
    // A name sent from the recommendation window: into the name field, analysed as by Enter.
    void takeRecommendedName(const QString& name);

    // Command buttons.
    QPushButton* Button2;
    QPushButton* Button7;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button8;
    // Analysis panel.
    QFrame* Panel1;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button6;
    QLabel* Label2;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLabel* Label3;
    QPlainTextEdit* Memo1;

  private:
    AppFolders folders_;
    Database db_;
    CharacterSlots slots_;
    AutoNamingWindow* autoNamingWindow_ = nullptr;
    ManualNamingWindow* manualNamingWindow_ = nullptr;
    SemiAutoNamingWindow* semiAutoNamingWindow_ = nullptr;
    HelpWindow* help_ = nullptr;
    // The recommendation engine's data, read from the database on the first use, and its
    // window; declared in this order so that the window (and its worker) goes first.
    std::unique_ptr<NamingData> naming_;
    std::unique_ptr<RecommendWindow> recommendWindow_;
};

}  // namespace quenvil
