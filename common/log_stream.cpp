#include "common/log_stream.h"

#include <cstdio>
#include <string>

#include "common/log_writer.h"

namespace common {

size_t formatLogHeader(char* out, size_t capacity, const SYSTEMTIME& time, DWORD threadId,
                       const char* function, int line) {
  int n = snprintf(out, capacity, "%02d-%02d\t%02d:%02d:%02d.%03d\t%04lu\t%s\t(%d):", time.wMonth,
                   time.wDay, time.wHour, time.wMinute, time.wSecond, time.wMilliseconds,
                   static_cast<unsigned long>(threadId), function ? function : "", line);
  if (n < 0) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<size_t>(n) < capacity ? static_cast<size_t>(n) : capacity - 1;
}

size_t utf8PrefixLength(const char* s, size_t length, size_t room) {
  if (length <= room) return length;
  size_t keep = room;
  // s[keep] is the first byte left out; when it continues a sequence, the
  // whole sequence stays out.
  while (keep > 0 && (static_cast<unsigned char>(s[keep]) & 0xC0) == 0x80) --keep;
  return keep;
}

LogStream::LogStream(const char* function, int line)
    : std::ostream(nullptr), buffer_(bytes_, kSize) {
  rdbuf(&buffer_);
  SYSTEMTIME now;
  GetLocalTime(&now);
  // At most kSize - 2 header bytes, so CR LF always fits.
  buffer_.advance(formatLogHeader(bytes_, kSize - 1, now, GetCurrentThreadId(), function, line));
}

LogStream::~LogStream() {
  LogWriter* writer = LogWriter::current();
  if (!writer) return;
  if (buffer_.used() > kSize - 2) buffer_.backUp(buffer_.used() - (kSize - 2));
  clear();  // an overlong write failed the stream; CR LF still goes in
  write("\r\n", 2);
  writer->append(std::string(bytes_, buffer_.used()));
}

size_t LogStream::room() const {
  size_t used = buffer_.used();
  return used + 2 < kSize ? kSize - 2 - used : 0;
}

}  // namespace common
