// The recommendation table's model and proxy.
#include "recommend/result_model.h"

#include <array>

#include "naming/best_first.h"

namespace quenvil {

ResultModel::ResultModel(const NamingData& data, QObject* parent)
    : QAbstractTableModel(parent), maker_(data) {}

void ResultModel::setScored(const std::vector<ScoredName>& names) {
    beginResetModel();
    rows_.clear();
    notes_ = NoteTexts();
    rows_.reserve(names.size());
    std::string notes;
    for (const ScoredName& n : names) {
        rows_.push_back(rowOf(n, notes));
        rows_.back().notes = notes_.intern(notes);
    }
    endResetModel();
}

void ResultModel::clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    notes_ = NoteTexts();
    endResetModel();
}

void ResultModel::append(std::vector<ResultRow>&& rows, const std::vector<std::string>& notes) {
    if (rows.empty()) return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].notes = i < notes.size() ? notes_.intern(notes[i]) : 0;
        rows_.push_back(std::move(rows[i]));
    }
    endInsertRows();
}

void ResultModel::sortBestFirst() {
    beginResetModel();
    quenvil::sortBestFirst(rows_, [](const ResultRow& r) { return r.orderKey(); });
    endResetModel();
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

std::string ResultModel::text(int row, int column) const {
    return columnText(maker_.data(), notes_, rows_[static_cast<size_t>(row)], column);
}

void ResultModel::appendLine(int row, std::string& out) const {
    const ResultRow& r = rows_[static_cast<size_t>(row)];
    appendRowLine(out, maker_.data(), r, notes_.text(r.notes));
}

int ResultModel::compare(int rowA, int rowB, int column) const {
    return compareRows(maker_.data(), notes_, rows_[static_cast<size_t>(rowA)],
                       rows_[static_cast<size_t>(rowB)], column);
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
        return QString::fromUtf8("点击或按 Alt+%1 按此列排序，再按一次反过来").arg(section + 1);
    }
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(columnCaption(section).data(),
                             static_cast<qsizetype>(columnCaption(section).size()));
}

ResultSortProxy::ResultSortProxy(ResultModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(model);
}

bool ResultSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return model_->compare(left.row(), right.row(), left.column()) < 0;
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

std::string exportBytes(const ResultModel& model, const QSortFilterProxyModel& shown,
                        ExportFormat format) {
    std::array<std::string, kColumnCount> header;
    for (int c = 0; c < kColumnCount; ++c) {
        header[static_cast<size_t>(c)] = std::string(columnCaption(c));
    }
    std::string out;
    auto add = [&](const std::array<std::string, kColumnCount>& fields) {
        if (format == ExportFormat::CsvUtf8) {
            appendCsvRecord(out, fields);
        } else {
            appendGbkTextLine(out, fields);
        }
    };
    if (format == ExportFormat::CsvUtf8) out += kUtf8Bom;
    add(header);
    for (int r = 0; r < shown.rowCount(); ++r) add(fieldsOf(model, sourceRow(shown, r)));
    return out;
}

QString tabSeparated(const ResultModel& model, const QSortFilterProxyModel& shown,
                     const std::vector<int>& proxyRows) {
    std::string out;
    for (const int r : proxyRows) model.appendLine(sourceRow(shown, r), out);
    return QString::fromStdString(out);
}

}  // namespace quenvil
