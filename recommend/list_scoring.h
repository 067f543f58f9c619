// Scoring a user's list of names on a thread of its own. The thread reads the file and scores
// with the engine's data alone: it never touches the database. It hands the rows over in batches
// and waits while the receiver is two batches behind, so that a slow receiver does not pile up
// the whole list in queued batches.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "recommend/result_rows.h"

namespace quenvil {

// Rows scored in file order, with the notes text of each row (not yet interned).
struct ScoredBatch {
    std::vector<ResultRow> rows;
    std::vector<std::string> notes;  // one per row
    size_t done = 0;                 // how far the list has been read, of total (bytes)
    size_t total = 0;
};

struct ScoringEnd {
    bool cancelled = false;
    std::string error;  // UTF-8; empty when the file was read
    size_t names = 0;   // names scored and handed over
};

// The names of a list file (UTF-8, UTF-16 or GBK, detected), as text for NameCutter. A file
// exported by the recommendation window (CSV, or tab-separated GBK text, with our header line)
// gives the names of its first column, so that an export can be scored again.
std::string listText(std::string_view bytes);

class ListScoring {
  public:
    // Called on the worker thread.
    using BatchSink = std::function<void(ScoredBatch&&)>;
    using EndSink = std::function<void(const ScoringEnd&)>;

    // Starts the worker. maker (and its NamingData) must outlive this object.
    ListScoring(const RowMaker& maker, std::filesystem::path file, BatchSink onBatch, EndSink onEnd,
                size_t batchSize = 4096);
    // Cancels and waits for the worker.
    ~ListScoring();
    ListScoring(const ListScoring&) = delete;
    ListScoring& operator=(const ListScoring&) = delete;

    // The receiver has taken a batch: the worker may hand over another.
    void batchTaken();
    // Asks the worker to stop and waits for it. After it returns no sink is called again; the
    // batches handed over before are all the worker scored. Its end sink reports cancelled.
    void cancel();

  private:
    void run();

    const RowMaker& maker_;
    std::filesystem::path file_;
    BatchSink onBatch_;
    EndSink onEnd_;
    size_t batchSize_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    int pending_ = 0;  // batches handed over and not yet taken
    std::thread thread_;
};

}  // namespace quenvil
