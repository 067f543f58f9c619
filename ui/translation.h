// Qt's own texts in Chinese: the buttons of the message boxes, the file dialog and the like.
#pragma once

namespace quenvil {

// Installs Qt's qtbase translation for zh_CN (from Qt's translations folder) into the running
// application. Returns false, leaving Qt's English texts, when the translation is not installed
// (Debian package qt6-translations-l10n).
bool installQtChineseTranslation();

}  // namespace quenvil
