// The process's log-file writer: finished lines queue in `pending` and one
// thread appends them to the file in batches.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace common {

class LogWriter {
 public:
  static constexpr uint32_t kLimit = 4096;  // pending bytes: above, drop; at or above, wake
  static constexpr std::chrono::milliseconds kBatchInterval{500};
  static constexpr long long kTruncateAt = 0x100000;  // file size that empties the file

  // Starts the writer thread on `path` (the thread opens the file).
  explicit LogWriter(std::wstring path);
  // Only for a writer whose stop() returned true.
  ~LogWriter();
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  // The process's writer, or null before startLogWriter. Any thread.
  static LogWriter* current();
  static void setCurrent(LogWriter* writer);

  // Queues one finished line (UTF-8 with CR LF). Dropped when more than
  // kLimit bytes are pending or the writer is stopping. Any thread.
  void append(const std::string& line);

  // Makes the thread write out what is pending and end; waits at most
  // timeoutMs, never blocking on the batch lock. True when it has ended.
  bool stop(unsigned timeoutMs);

  // Test hook: while paused the thread takes no batch, so pending fills up.
  void setPaused(bool paused);

 private:
  void run(std::wstring path);

  const uint32_t limit_ = kLimit;
  std::string pending_;
  std::mutex mutex_;  // guards pending_ and paused_; held across a batch write
  std::condition_variable wake_;
  bool paused_ = false;
  std::atomic<bool> stopping_{false};

  std::mutex endMutex_;  // guards ended_; never held during file work
  std::condition_variable endedSignal_;
  bool ended_ = false;

  std::thread thread_;  // last: starts once everything above exists
};

}  // namespace common
