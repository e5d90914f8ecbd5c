#include "tests/support/log_capture.h"

#include <mutex>

#include "utility/log.h"

namespace testsupport {

namespace {

// Static storage, so a worker that logs after its capture ended finds a
// harmless sink rather than freed memory.
std::mutex captureLock;
bool capturing = false;
std::vector<LogLine> captured;

void captureSink(const char* function, int, const wchar_t* message) {
  std::lock_guard<std::mutex> guard(captureLock);
  if (capturing) captured.push_back({function, message});
}

}  // namespace

LogCapture::LogCapture() {
  std::lock_guard<std::mutex> guard(captureLock);
  captured.clear();
  capturing = true;
  utility::logSink = captureSink;
}

LogCapture::~LogCapture() {
  utility::logSink = nullptr;
  std::lock_guard<std::mutex> guard(captureLock);
  capturing = false;
  captured.clear();
}

std::vector<LogLine> LogCapture::lines() const {
  std::lock_guard<std::mutex> guard(captureLock);
  return captured;
}

std::vector<std::wstring> LogCapture::messages() const {
  std::vector<std::wstring> out;
  for (const auto& line : lines()) out.push_back(line.message);
  return out;
}

bool LogCapture::contains(const std::wstring& message) const {
  for (const auto& line : lines())
    if (line.message == message) return true;
  return false;
}

int LogCapture::count(const std::wstring& text) const {
  int n = 0;
  for (const auto& line : lines()) n += line.message.find(text) != std::wstring::npos;
  return n;
}

int LogCapture::countStarting(const std::wstring& text) const {
  int n = 0;
  for (const auto& line : lines()) n += line.message.rfind(text, 0) == 0;
  return n;
}

int LogCapture::indexOf(const std::wstring& text) const {
  const auto all = lines();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].message.find(text) != std::wstring::npos) return static_cast<int>(i);
  return -1;
}

}  // namespace testsupport
