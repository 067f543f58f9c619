// Chinese texts for errors.
#include "ui/error_text.h"

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "data/database_error.h"

namespace quenvil {

QString reasonText(const std::error_code& code) {
    if (code.category() == std::generic_category() || code.category() == std::system_category()) {
        switch (code.value()) {
            case ENOENT:
            case ENOTDIR:
                return QString::fromUtf8("不存在");
            case EACCES:
            case EPERM:
                return QString::fromUtf8("没有权限");
            case EISDIR:
                return QString::fromUtf8("是文件夹，不是文件");
            case ENOSPC:
                return QString::fromUtf8("磁盘已满");
            case EROFS:
                return QString::fromUtf8("所在的磁盘只能读");
            default:
                break;
        }
    }
    return QString::fromStdString(code.message());
}

QString errorText(const std::exception& error) {
    if (const auto* e = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
        return QString::fromUtf8("读不出 %1：%2")
            .arg(QString::fromStdU16String(e->path1().u16string()), reasonText(e->code()));
    }
    if (const auto* e = dynamic_cast<const std::system_error*>(&error)) {
        // "<what was done>: <the system's reason>", the reason in Chinese.
        std::string_view what = e->what();
        const std::string reason = ": " + e->code().message();
        if (what.ends_with(reason)) what.remove_suffix(reason.size());
        return QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())) +
               QString::fromUtf8("：") + reasonText(e->code());
    }
    if (dynamic_cast<const DatabaseError*>(&error) != nullptr) {
        const std::string_view what = error.what();
        if (what.find("unable to open database file") != std::string_view::npos ||
            what.find("connection is closed") != std::string_view::npos) {
            return QString::fromUtf8("打不开字库文件 data.Mdb：查笔画、测算和取名都要用到它。") +
                   '\n' + QString::fromUtf8(error.what());
        }
    }
    return QString::fromUtf8(error.what());
}

}  // namespace quenvil
