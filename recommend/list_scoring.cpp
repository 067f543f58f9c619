// The worker that scores a user's list.
#include "recommend/list_scoring.h"

#include "naming/name_cutter.h"
#include "text/encoding.h"
#include "text/lines.h"

namespace quenvil {
namespace {

constexpr int kMaxPending = 2;

// The first field of every line after the header, for our tab-separated export.
std::string firstFieldsOfLines(std::string_view text) {
    std::string names;
    bool header = true;
    for (const std::string& line : splitLines(text)) {
        if (header) {
            header = false;
            continue;
        }
        names.append(line, 0, line.find('\t'));
        names += '\n';
    }
    return names;
}

}  // namespace

std::string listText(std::string_view bytes) {
    std::string text = decodeToUtf8(bytes);
    // Our own exports: the header line starts with the first two captions.
    const std::string csvHeader = std::string(columnCaption(kNameColumn)) + "," +
                                  std::string(columnCaption(kScoreColumn)) + ",";
    const std::string tabHeader = std::string(columnCaption(kNameColumn)) + "\t" +
                                  std::string(columnCaption(kScoreColumn)) + "\t";
    if (text.starts_with(csvHeader)) {
        std::string names;
        const auto records = parseCsv(text);
        for (size_t i = 1; i < records.size(); ++i) {
            if (!records[i].empty()) names += records[i][0] + "\n";
        }
        return names;
    }
    if (text.starts_with(tabHeader)) return firstFieldsOfLines(text);
    return text;
}

ListScoring::ListScoring(const RowMaker& maker, std::filesystem::path file, BatchSink onBatch,
                         EndSink onEnd, size_t batchSize)
    : maker_(maker),
      file_(std::move(file)),
      onBatch_(std::move(onBatch)),
      onEnd_(std::move(onEnd)),
      batchSize_(batchSize == 0 ? 1 : batchSize) {
    thread_ = std::thread([this] { run(); });
}

ListScoring::~ListScoring() { cancel(); }

void ListScoring::batchTaken() {
    {
        const std::lock_guard lock(mutex_);
        if (pending_ > 0) --pending_;
    }
    wake_.notify_all();
}

void ListScoring::cancel() {
    {
        const std::lock_guard lock(mutex_);  // so that a worker about to wait sees it
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ListScoring::run() {
    ScoringEnd end;
    std::string text;
    try {
        text = listText(readWholeFile(file_));
    } catch (const std::exception& e) {
        end.error = e.what();
        onEnd_(end);
        return;
    }
    NameCutter cutter(text);
    ScoredName scratch;
    ScoredBatch batch;
    batch.total = text.size();
    std::string_view name;
    bool more = true;
    while (more) {
        batch.rows.reserve(batchSize_);
        batch.notes.reserve(batchSize_);
        while (batch.rows.size() < batchSize_ && (more = cutter.next(name))) {
            batch.notes.emplace_back();
            batch.rows.push_back(maker_.score(name, batch.notes.back(), scratch));
            if ((batch.rows.size() & 255) == 0 && stop_) break;
        }
        if (stop_) {
            end.cancelled = true;
            break;
        }
        if (batch.rows.empty()) break;  // the end of the list
        // Wait until the receiver has room, or a cancel.
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stop_ || pending_ < kMaxPending; });
            if (stop_) {
                end.cancelled = true;
                break;
            }
            ++pending_;
        }
        batch.done = more ? cutter.position() : text.size();
        end.names += batch.rows.size();
        onBatch_(std::move(batch));
        batch = ScoredBatch{};
        batch.total = text.size();
    }
    onEnd_(end);
}

}  // namespace quenvil
