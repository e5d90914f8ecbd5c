// The common module's log writer: the sink behind utility::log and the
// background thread that appends its lines to the log file.
//
// Line format (UTF-8, no byte-order mark, CR LF, at most 512 bytes):
//   "%02d-%02d\t%02d:%02d:%02d.%03d\t%04d\t%s\t(%d):" + message + "\r\n"
//   month-day TAB h:m:s.ms TAB thread id TAB function TAB (line):message
#pragma once

#include <string>

namespace common {

// The sink for utility::logSink. function: the caller's qualified name
// (8-bit, copied unchanged); message: NUL-terminated UTF-16, written
// unchanged (percent signs included). A message too long for the 512-byte
// line is cut at a UTF-8 character boundary. Without a writer the line is
// dropped. Any thread; never blocks for longer than one batch write.
void writeLog(const char* function, int line, const wchar_t* message);

// Starts the process's one writer on `path` unless the path is empty or a
// writer already exists (also a stopped one). Lines reach the file in
// batches, at least every 500 ms. A file starting with FF FE is emptied at
// start; a file that reaches 1 MiB is emptied after the batch that crossed
// it. An unopenable file makes every line be dropped silently.
void startLogWriter(const std::wstring& path);

// Orderly stop at exit: the writer writes out what is pending and ends. Waits
// at most timeoutMs; never hangs. Returns true when the writer has ended (or
// none was started), false when it did not end in time (it is then left
// running, and nothing it uses is freed). Lines logged after the stop are
// dropped. Any thread; calling it again is harmless.
bool stopLogWriter(unsigned timeoutMs);

}  // namespace common
