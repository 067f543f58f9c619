// The table of the recommendation window: a model over the compact rows of result_rows.h, which
// hands the view its rows a block at a time and sorts them on a thread of its own, and the proxy
// that filters them by score.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "recommend/result_rows.h"

namespace quenvil {

// The rows are kept best first; a sort by another column is an order of them made on a worker
// thread, so that sorting a list of millions never stops the window. The view gets the rows in
// the order shown a block at a time (fetchMore), as it scrolls to them.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // How many rows the view gets at a time.
    static constexpr int kFetchBlock = 10000;

    explicit ResultModel(const NamingData& data, QObject* parent = nullptr);
    ~ResultModel() override;

    // Replaces the rows by names the engine scored (recommend() gives them best first).
    void setScored(const std::vector<ScoredName>& names);
    void clear();
    // Appends rows scored elsewhere (a worker's batch), with their notes texts.
    void append(std::vector<ResultRow>&& rows, const std::vector<std::string>& notes);
    // Puts the rows best first (sortBestFirst of naming/best_first.h).
    void sortBestFirst();

    // Starts putting the rows in the order of a column; sortFinished() follows on this object's
    // thread when they are, and the model is reset then. A sort that is still running when
    // another starts, or when the rows change, is dropped.
    void sortBy(int column, Qt::SortOrder order);
    // Shows the rows in their own order again (the engine's ranking, or best first after
    // sortBestFirst) at once; sortFinished() follows before it returns.
    void showOwnOrder();
    bool sorting() const { return sorter_.joinable(); }

    // Every row, the ones the view has not fetched too.
    int size() const { return static_cast<int>(rows_.size()); }
    // How many rows score at least this.
    int countAtLeast(int score) const;
    // Makes sure the view has the rows up to this one.
    void fetchUpTo(int row);
    // The place of a row in the rows' own (best-first) order, and back.
    int storedIndex(int row) const {
        return order_.empty() ? row : order_[static_cast<size_t>(row)];
    }
    int rowOfStored(int stored) const;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A row in the order shown, 0 to size() - 1.
    const ResultRow& row(int i) const { return rows_[static_cast<size_t>(storedIndex(i))]; }
    // The text of a cell, UTF-8 (as exported).
    std::string text(int row, int column) const;
    // Appends the row's columns, tab-separated, and a line break (appendRowLine).
    void appendLine(int row, std::string& out) const;
    // <0, 0, >0 by a column (compareRows).
    int compare(int rowA, int rowB, int column) const;

    const RowMaker& maker() const { return maker_; }
    const NamingData& namingData() const { return maker_.data(); }

  Q_SIGNALS:
    void sortFinished();

  private:
    void stopSorting();
    void takeOrder(uint64_t job, std::vector<int32_t>&& order);

    RowMaker maker_;
    std::vector<ResultRow> rows_;  // in their own order: as they came, or best first
    NoteTexts notes_;
    std::vector<int32_t> order_;  // the rows shown, in order; empty: rows_ as they are
    int fetched_ = 0;             // the rows the view has
    std::thread sorter_;
    std::shared_ptr<std::atomic<bool>> stopSort_;
    uint64_t sortJob_ = 0;
};

// Shows the rows of a ResultModel in its order, those below a score left out.
class ResultFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit ResultFilterProxy(ResultModel* model, QObject* parent = nullptr);

    // Shows only the rows whose 评分 is at least this (0: every row, those that could not be
    // scored too).
    void setMinimumScore(int score);
    int minimumScore() const { return minimumScore_; }

    // Whether the filter shows a row of the model (one the view has not fetched too).
    bool accepts(int modelRow) const;

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    ResultModel* model_;
    int minimumScore_ = 0;
};

// Every row the filter shows, in the model's order (those the view has not fetched too): a header
// line and one line per row, as a CSV file in UTF-8 with a BOM, or as tab-separated GBK text.
std::string exportBytes(const ResultModel& model, const ResultFilterProxy& shown,
                        ExportFormat format);
// Rows of the view (proxy rows, in the order given) as tab-separated text without a header, one
// line per row ending in a line break: what the clipboard gets.
QString tabSeparated(const ResultModel& model, const QSortFilterProxyModel& shown,
                     const std::vector<int>& proxyRows);
// Every row the filter shows (those the view has not fetched too), in the same form.
QString tabSeparatedAll(const ResultModel& model, const ResultFilterProxy& shown);

}  // namespace quenvil
