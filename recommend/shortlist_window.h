// 收藏夹: the names kept on the shortlist, across surnames, with their remarks. A remark is
// edited in its cell; 删除 takes the selected names off; 比较 shows two to four of them side by
// side; 导出 writes them all to a file; 送到主窗口测算 sends one to the main window's analysis.
#pragma once

#include <QDialog>
#include <vector>

#include "data/shortlist.h"
#include "naming/naming_data.h"

class QTableWidget;

namespace quenvil {

struct Database;

// Its table is "shortlistTable" (columns 名字 姓氏 性别 备注 收藏时间); its buttons
// "removeFromShortlistButton", "compareShortlistButton", "exportShortlistButton",
// "sendFromShortlistButton", "closeShortlistButton".
class ShortlistWindow : public QDialog {
    Q_OBJECT
  public:
    ShortlistWindow(Database& db, const NamingData& data, QWidget* parent = nullptr);

    void onRemove();
    void onCompare();
    void onExport();
    void onSend();

  Q_SIGNALS:
    void nameSent(const QString& name);

  private:
    void fill();
    void remarkEdited(int row, int column);
    std::vector<std::string> selectedNames() const;

    Database& db_;
    const NamingData& data_;
    std::vector<ShortlistEntry> entries_;
    QTableWidget* table_;
    bool filling_ = false;
};

}  // namespace quenvil
