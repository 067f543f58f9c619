// Exporting names to a file the user chooses, as CSV in UTF-8 or as tab-separated GBK text: the
// recommendation table's rows and the shortlist.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/shortlist.h"
#include "naming/naming_data.h"
#include "recommend/result_model.h"

class QWidget;

namespace quenvil {

// Asks for a file (the file type chosen decides the format, and its suffix is added when
// missing), asks before replacing one, and writes what bytes(format) gives: beside the file first
// and renamed onto it when complete, so that a full disk leaves the old file. A failure is shown
// in a message box. Returns the file written, or nothing.
std::optional<QString> exportToChosenFile(QWidget* parent, const QString& suggestedName,
                                          const std::function<std::string(ExportFormat)>& bytes);

// The 性别 of a kept name as the shortlist window and its export show it: 男, 女 or 不限.
const char* genderCaption(char gender);

// The shortlist in the export formats: the table's columns for each name, scored now, then
// 性别, 备注 and 收藏时间.
std::string shortlistExportBytes(const NamingData& data, const std::vector<ShortlistEntry>& entries,
                                 ExportFormat format);

}  // namespace quenvil
