// Exports of names.
#include "recommend/name_export.h"

#include <QFileInfo>
#include <QStringList>

#include "naming/score.h"
#include "text/atomic_file.h"
#include "ui/dialogs.h"
#include "ui/qt_text.h"

namespace quenvil {

std::optional<QString> exportToChosenFile(QWidget* parent, const QString& suggestedName,
                                          const std::function<std::string(ExportFormat)>& bytes) {
    const QStringList filters = {utf8Q("CSV 文件，UTF-8 (*.csv)"), utf8Q("文本文件，GBK (*.txt)")};
    const auto choice = Dialogs::current().saveFile(parent, filters, suggestedName);
    if (!choice) return std::nullopt;
    // The suffix is added before the question whether to replace a file of that name.
    const ExportFormat format = choice->filter == 1 ? ExportFormat::GbkText : ExportFormat::CsvUtf8;
    QString file = choice->file;
    const QString suffix = format == ExportFormat::GbkText ? ".txt" : ".csv";
    if (!file.endsWith(suffix, Qt::CaseInsensitive)) file += suffix;
    if (QFileInfo::exists(file) &&
        !Dialogs::current().question(
            utf8Q("%1 已存在。\n要替换它吗？").arg(QFileInfo(file).fileName()))) {
        return std::nullopt;
    }
    try {
        AtomicFile out(pathFromQ(file));
        out.write(bytes(format));
        out.commit();
    } catch (const std::exception& e) {
        Dialogs::current().message(utf8Q("不能写入文件：") + file + '\n' +
                                   QString::fromUtf8(e.what()));
        return std::nullopt;
    }
    return file;
}

const char* genderCaption(char gender) {
    return gender == 'm' ? "男" : (gender == 'f' ? "女" : "不限");
}

std::string shortlistExportBytes(const NamingData& data, const std::vector<ShortlistEntry>& entries,
                                 ExportFormat format) {
    std::vector<std::string> fields;
    for (int c = 0; c < kColumnCount; ++c) fields.emplace_back(columnCaption(c));
    for (const char* caption : {"性别", "备注", "收藏时间"}) fields.emplace_back(caption);
    std::string out;
    if (format == ExportFormat::CsvUtf8) out += kUtf8Bom;
    appendExportRecord(out, fields, format);
    const RowMaker maker(data);
    ScoredName scratch;
    std::string notes;
    for (const ShortlistEntry& e : entries) {
        const ResultRow row = maker.score(e.name, notes, scratch);
        fields.clear();
        for (int c = 0; c < kColumnCount; ++c) {
            appendColumnText(fields.emplace_back(), data, row, notes, c);
        }
        fields.emplace_back(genderCaption(e.gender));
        fields.push_back(e.remark);
        fields.push_back(e.added);
        appendExportRecord(out, fields, format);
    }
    return out;
}

}  // namespace quenvil
