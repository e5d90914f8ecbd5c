// Decoder of the HTTP/1.1 chunked transfer coding, reading framing bytes
// one at a time and chunk data in pieces from a connection. Internal to the
// facade; one per body; transfer thread only.
#pragma once

#include <string>

#include "utility/http/http_connection.h"

namespace utility {

class ChunkedDecoder {
 public:
  // Longest chunk-size line (with extensions) and trailer section accepted.
  static constexpr size_t kMaxLine = 4096;
  static constexpr size_t kMaxTrailer = 64 * 1024;

  // Next piece of body data, at most size bytes, into buffer: its length
  // (>= 1), 0 after the last chunk and its trailer section, -1 when the
  // framing is malformed (last error ERROR_INVALID_DATA), truncated (last
  // error ERROR_HANDLE_EOF) or the connection fails (its error kept).
  int next(IHttpConnection& connection, char* buffer, int size);

 private:
  enum class State { kSizeLine, kData, kDataEnd, kDone, kFailed };
  int failWith(unsigned long error);
  // Reads one CR LF terminated line (terminator stripped) of at most limit
  // bytes; -1 on failure (error set).
  int readLine(IHttpConnection& connection, std::string& line, size_t limit);
  int readTrailer(IHttpConnection& connection);

  State state_ = State::kSizeLine;
  long long remaining_ = 0;  // data bytes left in the current chunk
};

// Whether the header block announces chunked framing: its
// Transfer-Encoding line ends with the coding "chunked" (any letter case).
bool hasChunkedFraming(const std::string& headerText);

// Parses a chunk-size line (without CR LF): hexadecimal digits, optional
// spaces or tabs, optional ';' extensions (ignored). false when malformed or
// above 0x7FFFFFFF.
bool parseChunkSizeLine(const std::string& line, long long& size);

}  // namespace utility
