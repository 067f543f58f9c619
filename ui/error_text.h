// What went wrong, in Chinese, for the message boxes: a file or folder that cannot be read, a
// database that cannot be opened. The system's or the database's own text follows on a line of
// its own where it says more.
#pragma once

#include <QString>
#include <exception>
#include <system_error>

namespace quenvil {

// The reason a file operation failed: 不存在, 没有权限 … for the reasons a user meets, the
// system's text for the others.
QString reasonText(const std::error_code& code);

// The text of an error for a message box: for a folder that cannot be listed "读不出 <path>：
// <reason>", for another failed file operation its text with the reason in Chinese, for a
// database that is not open a sentence in Chinese and the database's text under it, for any
// other error its own text.
QString errorText(const std::exception& error);

}  // namespace quenvil
