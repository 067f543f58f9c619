// GBK text at the widgets, fonts and the look shared by the windows.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class QDialog;
class QLabel;
class QPushButton;
class QPlainTextEdit;
class QWidget;

namespace quenvil {

QString toQ(std::string_view gbk);     // GBK -> widget text
std::string fromQ(const QString& s);   // widget text -> GBK
QString utf8Q(std::string_view utf8);  // a text of the program or its data, in UTF-8

// A file path from widget text, with blanks and control characters at both ends removed.
std::filesystem::path pathFromQ(const QString& s);

// GBK lines into a text box.
void setLines(QPlainTextEdit* box, const std::vector<std::string>& lines);
void appendLines(QPlainTextEdit* box, const std::vector<std::string>& lines);
// Puts the caret at the start of the text and scrolls it into view.
void showFromStart(QPlainTextEdit* box);

// The Song typeface at a pixel size, with CJK fallbacks.
QFont songFont(int pixelSize);
// White text on teal, as the captions of the input fields.
void styleTealCaption(QLabel* label, int pixelSize);
void setTextColor(QWidget* w, const QColor& color);
QColor textColor(const QWidget* w);

// A push button with its caption (UTF-8) and object name.
QPushButton* namedButton(const char* caption, const char* objectName, QWidget* parent);
// The layout of a dialog that shows a table: the table fills it, under it a row of commands from
// the left and the close button at the right.
void layOutTableAndCommands(QDialog* dialog, QWidget* table,
                            std::initializer_list<QPushButton*> commands, QPushButton* close);

// Fixed-size window with only the system menu and the minimise box, centred on the desktop.
void makeFixedCentred(QWidget* window, int clientWidth, int clientHeight);
// The height of the primary screen's free area, in the windows' pixels (half the screen's at
// 200 %); 0 without a screen.
int availableScreenHeight();
// What a window's frame adds to its client area's height on common desktops (title bar, borders),
// allowed for where a window must fit the screen.
inline constexpr int kFrameHeightAllowance = 40;

}  // namespace quenvil
