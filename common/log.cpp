#include "common/log.h"

#include <windows.h>

#include <cwchar>
#include <mutex>

#include "common/log_stream.h"
#include "common/log_writer.h"
#include "common/testing.h"

namespace common {

namespace {

constexpr size_t kMaxUnits = 511;  // what utility::log hands over at most
// Each UTF-16 unit takes at most 3 UTF-8 bytes (a surrogate pair takes 4 for 2).
constexpr size_t kUtf8Capacity = kMaxUnits * 3 + 1;

std::mutex g_lifecycle;  // serialises start, stop and reset

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

void writeLog(const char* function, int line, const wchar_t* message) {
  LogStream stream(function, line);
  if (!message) return;
  size_t units = wcsnlen(message, kMaxUnits);
  // A cut that left the first half of a surrogate pair drops that half.
  if (units && isHighSurrogate(message[units - 1])) --units;
  if (!units) return;
  char utf8[kUtf8Capacity];
  int n = WideCharToMultiByte(CP_UTF8, 0, message, static_cast<int>(units), utf8,
                              static_cast<int>(sizeof utf8), nullptr, nullptr);
  if (n <= 0) return;
  size_t keep = utf8PrefixLength(utf8, static_cast<size_t>(n), stream.room());
  stream.write(utf8, static_cast<std::streamsize>(keep));
}

void startLogWriter(const std::wstring& path) {
  if (path.empty()) return;
  std::lock_guard<std::mutex> lock(g_lifecycle);
  if (LogWriter::current()) return;
  // Never freed: the thread may outlive an exit that does not stop it.
  LogWriter::setCurrent(new LogWriter(path));
}

bool stopLogWriter(unsigned timeoutMs) {
  std::lock_guard<std::mutex> lock(g_lifecycle);
  LogWriter* writer = LogWriter::current();
  return writer ? writer->stop(timeoutMs) : true;
}

namespace testing {

bool resetLogWriter(unsigned timeoutMs) {
  std::lock_guard<std::mutex> lock(g_lifecycle);
  LogWriter* writer = LogWriter::current();
  if (!writer) return true;
  LogWriter::setCurrent(nullptr);
  if (!writer->stop(timeoutMs)) return false;  // left running, never freed
  delete writer;
  return true;
}

void pauseLogWriter(bool paused) {
  if (LogWriter* writer = LogWriter::current()) writer->setPaused(paused);
}

}  // namespace testing

}  // namespace common
