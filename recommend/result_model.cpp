// The recommendation table's model and proxy.
#include "recommend/result_model.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "naming/best_first.h"

namespace quenvil {

ResultModel::ResultModel(const NamingData& data, QObject* parent)
    : QAbstractTableModel(parent), maker_(data) {}

ResultModel::~ResultModel() { stopSorting(); }

void ResultModel::setScored(const std::vector<ScoredName>& names) {
    stopSorting();
    beginResetModel();
    rows_.clear();
    notes_ = NoteTexts();
    order_.clear();
    rows_.reserve(names.size());
    std::string notes;
    for (const ScoredName& n : names) {
        rows_.push_back(rowOf(n, notes));
        rows_.back().notes = notes_.intern(notes);
    }
    fetched_ = std::min(size(), kFetchBlock);
    endResetModel();
}

void ResultModel::clear() {
    stopSorting();
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    notes_ = NoteTexts();
    order_.clear();
    fetched_ = 0;
    endResetModel();
}

void ResultModel::append(std::vector<ResultRow>&& rows, const std::vector<std::string>& notes) {
    if (rows.empty()) return;
    stopSorting();
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].notes = i < notes.size() ? notes_.intern(notes[i]) : 0;
        if (!order_.empty()) order_.push_back(static_cast<int32_t>(rows_.size()));
        rows_.push_back(std::move(rows[i]));
    }
    // The view gets the new rows at once while it has less than a block; the others it fetches.
    if (fetched_ < kFetchBlock) fetchUpTo(std::min(size(), kFetchBlock) - 1);
}

void ResultModel::sortBestFirst() {
    stopSorting();
    beginResetModel();
    quenvil::sortBestFirst(rows_, [](const ResultRow& r) { return r.orderKey(); });
    order_.clear();
    fetched_ = std::min(size(), kFetchBlock);
    endResetModel();
}

void ResultModel::showOwnOrder() {
    stopSorting();
    takeOrder(sortJob_, {});
}

void ResultModel::sortBy(int column, Qt::SortOrder order) {
    stopSorting();
    const uint64_t job = sortJob_;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    stopSort_ = stop;
    // The worker only reads the rows: whatever would change them stops it first.
    sorter_ = std::thread([this, column, order, job, stop] {
        struct Stopped {};
        auto sorted = std::make_shared<std::vector<int32_t>>(rows_.size());
        std::iota(sorted->begin(), sorted->end(), 0);
        const bool descending = order == Qt::DescendingOrder;
        try {
            // Stable: equal rows stay best first, whichever way.
            std::stable_sort(sorted->begin(), sorted->end(), [&](int32_t a, int32_t b) {
                if (stop->load(std::memory_order_relaxed)) throw Stopped{};
                const int c = compareRows(maker_.data(), notes_, rows_[static_cast<size_t>(a)],
                                          rows_[static_cast<size_t>(b)], column);
                return descending ? c > 0 : c < 0;
            });
        } catch (const Stopped&) {
            return;
        }
        QMetaObject::invokeMethod(
            this, [this, job, sorted] { takeOrder(job, std::move(*sorted)); },
            Qt::QueuedConnection);
    });
}

void ResultModel::stopSorting() {
    ++sortJob_;  // an order already on its way is dropped
    if (!sorter_.joinable()) return;
    stopSort_->store(true);
    sorter_.join();
}

void ResultModel::takeOrder(uint64_t job, std::vector<int32_t>&& order) {
    if (job != sortJob_) return;
    if (sorter_.joinable()) sorter_.join();  // it has handed over its order: this only joins it
    beginResetModel();
    order_ = std::move(order);
    fetched_ = std::min(size(), kFetchBlock);
    endResetModel();
    Q_EMIT sortFinished();
}

int ResultModel::countAtLeast(int score) const {
    if (score <= 0) return size();
    return static_cast<int>(std::count_if(
        rows_.begin(), rows_.end(), [score](const ResultRow& r) { return r.score >= score; }));
}

int ResultModel::rowOfStored(int stored) const {
    if (order_.empty()) return stored;
    const auto at = std::find(order_.begin(), order_.end(), stored);
    return at == order_.end() ? -1 : static_cast<int>(at - order_.begin());
}

void ResultModel::fetchUpTo(int row) {
    const int last = std::min(row, size() - 1);
    if (last < fetched_) return;
    beginInsertRows(QModelIndex(), fetched_, last);
    fetched_ = last + 1;
    endInsertRows();
}

bool ResultModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && fetched_ < size();
}

void ResultModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) fetchUpTo(fetched_ + kFetchBlock - 1);
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : fetched_;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

std::string ResultModel::text(int row, int column) const {
    return columnText(maker_.data(), notes_, this->row(row), column);
}

void ResultModel::appendLine(int row, std::string& out) const {
    const ResultRow& r = this->row(row);
    appendRowLine(out, maker_.data(), r, notes_.text(r.notes));
}

int ResultModel::compare(int rowA, int rowB, int column) const {
    return compareRows(maker_.data(), notes_, row(rowA), row(rowB), column);
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(text(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            if (index.column() == kScoreColumn) {
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            }
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole) {
        if (section >= 9) return QString::fromUtf8("点击按此列排序，再点一次反过来");
        return QString::fromUtf8("点击或按 Alt+%1 按此列排序，再按一次反过来").arg(section + 1);
    }
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(columnCaption(section).data(),
                             static_cast<qsizetype>(columnCaption(section).size()));
}

ResultFilterProxy::ResultFilterProxy(ResultModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(model);
}

void ResultFilterProxy::setMinimumScore(int score) {
    if (score == minimumScore_) return;
    minimumScore_ = score;
    invalidateRowsFilter();
}

bool ResultFilterProxy::accepts(int modelRow) const {
    return minimumScore_ <= 0 || model_->row(modelRow).score >= minimumScore_;
}

bool ResultFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return accepts(sourceRow);
}

namespace {

std::array<std::string, kColumnCount> fieldsOf(const ResultModel& model, int sourceRow) {
    std::array<std::string, kColumnCount> fields;
    for (int c = 0; c < kColumnCount; ++c) {
        fields[static_cast<size_t>(c)] = model.text(sourceRow, c);
    }
    return fields;
}

int sourceRow(const QSortFilterProxyModel& shown, int proxyRow) {
    return shown.mapToSource(shown.index(proxyRow, 0)).row();
}

}  // namespace

std::string exportBytes(const ResultModel& model, const ResultFilterProxy& shown,
                        ExportFormat format) {
    std::array<std::string, kColumnCount> header;
    for (int c = 0; c < kColumnCount; ++c) {
        header[static_cast<size_t>(c)] = std::string(columnCaption(c));
    }
    std::string out;
    if (format == ExportFormat::CsvUtf8) out += kUtf8Bom;
    appendExportRecord(out, header, format);
    for (int r = 0; r < model.size(); ++r) {
        if (shown.accepts(r)) appendExportRecord(out, fieldsOf(model, r), format);
    }
    return out;
}

QString tabSeparated(const ResultModel& model, const QSortFilterProxyModel& shown,
                     const std::vector<int>& proxyRows) {
    std::string out;
    for (const int r : proxyRows) model.appendLine(sourceRow(shown, r), out);
    return QString::fromStdString(out);
}

QString tabSeparatedAll(const ResultModel& model, const ResultFilterProxy& shown) {
    std::string out;
    for (int r = 0; r < model.size(); ++r) {
        if (shown.accepts(r)) model.appendLine(r, out);
    }
    return QString::fromStdString(out);
}

}  // namespace quenvil
