// Message boxes and the file dialog, behind an interface that tests can answer.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quenvil {

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Information box: caption "Information", information icon, OK.
    virtual void information(const QString& text) = 0;
    // Plain message box: the application title as caption, no icon, OK.
    virtual void message(const QString& text) = 0;
    // The standard error box: the message with a full stop added, the application title as
    // caption, error icon, OK.
    virtual void error(const QString& text) = 0;
    // File-open dialog with one filter; empty when cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter) = 0;

    // The dialogs in use; message boxes by default.
    static Dialogs& current();
    // Replaces the dialogs in use (tests); nullptr restores the message boxes.
    static void setCurrent(Dialogs* dialogs);
};

// The text of the standard error box: a full stop is added unless the message already ends in a
// character at or below '.'.
QString errorBoxText(const QString& message);

}  // namespace quenvil
