// The table of the recommendation window: a model over the compact rows of result_rows.h, and
// the proxy that sorts it by any column.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <string>
#include <vector>

#include "recommend/result_rows.h"

namespace quenvil {

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ResultModel(const NamingData& data, QObject* parent = nullptr);

    // Replaces the rows by names the engine scored (recommend() gives them best first).
    void setScored(const std::vector<ScoredName>& names);
    void clear();
    // Appends rows scored elsewhere (a worker's batch), with their notes texts.
    void append(std::vector<ResultRow>&& rows, const std::vector<std::string>& notes);
    // Puts the rows best first (sortBestFirst of naming/best_first.h).
    void sortBestFirst();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const ResultRow& row(int i) const { return rows_[static_cast<size_t>(i)]; }
    // The text of a cell, UTF-8 (as exported).
    std::string text(int row, int column) const;
    // Appends the row's columns, tab-separated, and a line break (appendRowLine).
    void appendLine(int row, std::string& out) const;
    // <0, 0, >0 by a column (compareRows).
    int compare(int rowA, int rowB, int column) const;

    const RowMaker& maker() const { return maker_; }
    const NamingData& namingData() const { return maker_.data(); }

  private:
    RowMaker maker_;
    std::vector<ResultRow> rows_;
    NoteTexts notes_;
};

// Sorts the rows of a ResultModel by the numbers behind a column (评分 numerically), without
// making texts; equal rows keep the model's order.
class ResultSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit ResultSortProxy(ResultModel* model, QObject* parent = nullptr);

    // Shows only the rows whose 评分 is at least this (0: every row, those that could not be
    // scored too).
    void setMinimumScore(int score);
    int minimumScore() const { return minimumScore_; }

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    ResultModel* model_;
    int minimumScore_ = 0;
};

// The rows as the view shows them (in the proxy's order): a header line and one line per row,
// as a CSV file in UTF-8 with a BOM, or as tab-separated GBK text.
enum class ExportFormat { CsvUtf8, GbkText };
std::string exportBytes(const ResultModel& model, const QSortFilterProxyModel& shown,
                        ExportFormat format);
// Rows of the view (proxy rows, in the order given) as tab-separated text without a header, one
// line per row ending in a line break: what the clipboard gets.
QString tabSeparated(const ResultModel& model, const QSortFilterProxyModel& shown,
                     const std::vector<int>& proxyRows);

}  // namespace quenvil
