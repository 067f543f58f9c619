// Qt's own texts in Chinese: the buttons of the message boxes, the file dialog and the like.
#pragma once

#include <QLatin1StringView>
#include <QString>

namespace quenvil {

// Installs Qt's qtbase translation for zh_CN (from Qt's translations folder) into the running
// application. Returns false, leaving Qt's English texts, when the translation is not installed
// (Debian package qt6-translations-l10n).
// Our own Chinese for the kinds of entries the file dialog lists, which Qt's translation lacks, is
// installed as well, whether Qt's is there or not.
bool installQtChineseTranslation();

// The Chinese of an English kind of entry in the file dialog ("Folder": "文件夹"); empty for
// another text.
QString fileKindText(QLatin1StringView english);

}  // namespace quenvil
