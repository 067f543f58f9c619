// Message boxes and the file dialog, behind an interface that tests can answer.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace quenvil {

// What the save dialog was told: the file, and which of the file types offered was chosen.
struct SaveChoice {
    QString file;
    int filter = 0;  // index into the filters offered
};

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
    // A question box: the application title as caption, question icon, Yes and No (No the
    // default). True for Yes.
    virtual bool question(const QString& text) = 0;
    // File-open dialog with one filter; empty when cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter) = 0;
    // File-save dialog offering file types ("CSV 文件 (*.csv)" ...), the first one chosen at the
    // start, with a suggested file name. It does not ask before overwriting: the caller adds the
    // file type's suffix first and then asks (question). Empty when cancelled.
    virtual std::optional<SaveChoice> saveFile(QWidget* parent, const QStringList& filters,
                                               const QString& suggestedName) = 0;

    // The dialogs in use; message boxes by default.
    static Dialogs& current();
    // Replaces the dialogs in use (tests); nullptr restores the message boxes.
    static void setCurrent(Dialogs* dialogs);
};

// The text of the standard error box: a full stop is added unless the message already ends in a
// character at or below '.'.
QString errorBoxText(const QString& message);

}  // namespace quenvil
