#include "common/log_writer.h"

#include <windows.h>

#include "utility/handle.h"

namespace common {

namespace {

std::atomic<LogWriter*> g_writer{nullptr};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The log file as the writer thread holds it. Opened for reading and
// appending: every write lands at the end, also when a second instance of
// the program appends to the same file.
class LogFile {
 public:
  explicit LogFile(std::wstring path) : path_(std::move(path)) {
    file_.reset(CreateFileW(path_.c_str(), GENERIC_READ | FILE_APPEND_DATA, kShareAll, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return;
    unsigned char head[2] = {};
    DWORD got = 0;
    // An older log in UTF-16 (byte-order mark FF FE) starts over.
    if (ReadFile(file_.get(), head, 2, &got, nullptr) && got == 2 && head[0] == 0xFF &&
        head[1] == 0xFE)
      empty();
  }

  // Appends the batch; a file that has reached kTruncateAt is emptied
  // afterwards (the batch goes with it). Failures are silent.
  void write(const std::string& batch) {
    if (!file_) return;
    const char* p = batch.data();
    size_t left = batch.size();
    while (left) {
      DWORD done = 0;
      if (!WriteFile(file_.get(), p, static_cast<DWORD>(left), &done, nullptr) || done == 0) break;
      p += done;
      left -= done;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file_.get(), &size) && size.QuadPart >= LogWriter::kTruncateAt) empty();
  }

 private:
  // The append handle cannot cut the file; a second, short-lived handle does.
  void empty() {
    utility::UniqueFile cutter(CreateFileW(path_.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                           TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  std::wstring path_;
  utility::UniqueFile file_;
};

}  // namespace

LogWriter::LogWriter(std::wstring path) : thread_(&LogWriter::run, this, std::move(path)) {}

LogWriter::~LogWriter() {
  if (thread_.joinable()) thread_.join();
}

LogWriter* LogWriter::current() { return g_writer.load(std::memory_order_acquire); }

void LogWriter::setCurrent(LogWriter* writer) { g_writer.store(writer, std::memory_order_release); }

void LogWriter::append(const std::string& line) {
  if (stopping_.load(std::memory_order_relaxed)) return;
  bool full;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.size() > limit_) return;  // exactly limit_ still takes one more line
    pending_ += line;
    full = pending_.size() >= limit_;
  }
  if (full) wake_.notify_one();
}

bool LogWriter::stop(unsigned timeoutMs) {
  stopping_.store(true);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(endMutex_);
  // The flag is set without the batch lock (a writer stuck in a file write
  // must not hold us up), so a wake-up can slip past the writer's test;
  // repeat it in short slices.
  for (;;) {
    wake_.notify_one();
    if (ended_) return true;
    auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    auto slice = std::min<std::chrono::steady_clock::duration>(deadline - now,
                                                               std::chrono::milliseconds(20));
    endedSignal_.wait_for(lock, slice, [this] { return ended_; });
  }
}

void LogWriter::setPaused(bool paused) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = paused;
  }
  wake_.notify_one();
}

void LogWriter::run(std::wstring path) {
  LogFile file(std::move(path));
  {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      const auto deadline = std::chrono::steady_clock::now() + kBatchInterval;
      wake_.wait_until(lock, deadline, [this] {
        return stopping_.load() || (!paused_ && pending_.size() >= limit_);
      });
      const bool stopping = stopping_.load();
      if (paused_ && !stopping) continue;
      if (!pending_.empty()) {
        file.write(pending_);
        pending_.clear();
      }
      if (stopping) break;
    }
  }
  std::lock_guard<std::mutex> lock(endMutex_);
  ended_ = true;
  endedSignal_.notify_all();
}

}  // namespace common
