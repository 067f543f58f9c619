// Loading qtbase_zh_CN.qm, and the texts of Qt's file dialog that it lacks.
#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quenvil {
namespace {

// The kinds of entries in the file dialog's 类型 column, which Qt's translation leaves in
// English ("Folder"). Asked before Qt's translation, it answers only for these.
class FileKindTexts : public QTranslator {
  public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 &&
            qstrcmp(context, "QFileIconProvider") != 0) {
            return {};
        }
        return fileKindText(QLatin1StringView(sourceText));
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

QString fileKindText(QLatin1StringView english) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"Folder", "文件夹"},     {"File Folder", "文件夹"}, {"Drive", "驱动器"},
        {"Shortcut", "快捷方式"}, {"Alias", "替身"},         {"Unknown", "未知"},
        {"File", "文件"},
    };
    for (const auto& [from, to] : kTexts) {
        if (english == QLatin1StringView(from)) return QString::fromUtf8(to);
    }
    return {};
}

bool installQtChineseTranslation() {
    QCoreApplication* app = QCoreApplication::instance();
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        QCoreApplication::installTranslator(new FileKindTexts(app));
        return false;
    }
    const bool installed = QCoreApplication::installTranslator(translator);
    // Installed last, asked first.
    QCoreApplication::installTranslator(new FileKindTexts(app));
    return installed;
}

}  // namespace quenvil
