// One log line under construction: an output stream over a fixed 512-byte
// array on the logging thread's stack. Never shared between threads.
#pragma once

#include <windows.h>

#include <cstddef>
#include <ostream>
#include <streambuf>

namespace common {

class LogStream : public std::ostream {
 public:
  static constexpr size_t kSize = 512;  // whole line, CR LF included

  // Reads the local time and the calling thread's id and writes the line
  // header; text written to the stream follows it.
  LogStream(const char* function, int line);

  // Appends CR LF and hands the line to the process's writer; without a
  // writer the line is discarded. Text written beyond room() is cut off.
  ~LogStream() override;

  LogStream(const LogStream&) = delete;
  LogStream& operator=(const LogStream&) = delete;

  // Bytes of message text that still fit, keeping two for CR LF.
  size_t room() const;

 private:
  class ArrayBuffer : public std::streambuf {
   public:
    ArrayBuffer(char* begin, size_t size) {
      setg(begin, begin, begin);
      setp(begin, begin + size);
    }
    size_t used() const { return static_cast<size_t>(pptr() - pbase()); }
    // Counts bytes already placed at the put position as written.
    void advance(size_t n) { pbump(static_cast<int>(n)); }
    void backUp(size_t n) { pbump(-static_cast<int>(n)); }
  };

  char bytes_[kSize];
  ArrayBuffer buffer_;
};

// Writes the line header for the given fields into out[0..capacity) with a
// terminating zero (cut when it does not fit) and returns its length, at
// most capacity - 1. capacity >= 1. A null function is written as "".
size_t formatLogHeader(char* out, size_t capacity, const SYSTEMTIME& time, DWORD threadId,
                       const char* function, int line);

// The longest prefix of the valid UTF-8 text s[0..length) that has at most
// `room` bytes and ends at a character boundary.
size_t utf8PrefixLength(const char* s, size_t length, size_t room);

}  // namespace common
