// A log sink for tests: records every line of utility::log while a capture
// is alive, from any thread.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct LogLine {
  std::string function;  // the ZQ_LOG function name, as logged
  std::wstring message;  // the formatted text
};

// Installs the recording sink for its lifetime. A new capture starts an
// empty record (captures do not nest: the newest one's lines are what every
// live capture reports); the end of any capture removes the sink and drops
// the lines. Lines a detached worker logs afterwards are ignored. Not
// copyable; the methods may be called from any thread.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<LogLine> lines() const;        // a copy, in logging order
  std::vector<std::wstring> messages() const;  // the messages of lines()
  bool contains(const std::wstring& message) const;  // a line equal to message
  int count(const std::wstring& text) const;         // lines containing text
  bool has(const std::wstring& text) const { return count(text) > 0; }
  int countStarting(const std::wstring& text) const;  // lines starting with text
  int indexOf(const std::wstring& text) const;        // first line containing text, or -1
};

}  // namespace testsupport
