// Two to four names side by side: scores, readings, strokes, the five grids, the three talents,
// meanings, source and notes in one column each. 复制 puts the table on the clipboard as text,
// 保存图片 writes it as a PNG picture.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "naming/naming_data.h"
#include "naming/score.h"

class QPushButton;
class QTableWidget;

namespace quenvil {

// Its table is "compareTable"; its buttons "copyComparisonButton", "saveComparisonButton",
// "closeComparisonButton".
class CompareWindow : public QDialog {
  public:
    CompareWindow(const NamingData& data, const std::vector<ScoredName>& names,
                  QWidget* parent = nullptr);

    void onCopy();  // 复制
    void onSave();  // 保存图片

  private:
    std::vector<std::vector<std::string>> rows_;
    QTableWidget* table_;
};

}  // namespace quenvil
