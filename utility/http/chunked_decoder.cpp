#include "utility/http/chunked_decoder.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "utility/http/http_client_wrapper.h"

namespace utility {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool hasChunkedFraming(const std::string& headerText) {
  std::string value;
  if (!CHttpClientWrapper::getHeaderValue(headerText, "Transfer-Encoding", value)) return false;
  size_t comma = value.rfind(',');
  size_t b = comma == std::string::npos ? 0 : comma + 1;
  while (b < value.size() && (value[b] == ' ' || value[b] == '\t')) ++b;
  size_t e = value.size();
  while (e > b && (value[e - 1] == ' ' || value[e - 1] == '\t')) --e;
  static const char kChunked[] = "chunked";
  if (e - b != sizeof(kChunked) - 1) return false;
  for (size_t i = 0; i < e - b; ++i) {
    if (tolower(static_cast<unsigned char>(value[b + i])) != kChunked[i]) return false;
  }
  return true;
}

bool parseChunkSizeLine(const std::string& line, long long& size) {
  size_t i = 0;
  long long value = 0;
  while (i < line.size() && hexValue(line[i]) >= 0) {
    value = value * 16 + hexValue(line[i]);
    if (value > 0x7FFFFFFFLL) return false;
    ++i;
  }
  if (i == 0) return false;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && line[i] != ';') return false;
  size = value;
  return true;
}

int ChunkedDecoder::failWith(unsigned long error) {
  state_ = State::kFailed;
  SetLastError(error);
  return -1;
}

int ChunkedDecoder::readLine(IHttpConnection& connection, std::string& line,
                             size_t limit) {
  line.clear();
  for (;;) {
    char c = 0;
    int n = connection.read(&c, 1);
    if (n < 0) {
      state_ = State::kFailed;
      return -1;
    }
    if (n == 0) return failWith(ERROR_HANDLE_EOF);
    if (c == '\n') {
      if (line.empty() || line.back() != '\r') return failWith(ERROR_INVALID_DATA);
      line.pop_back();
      return 0;
    }
    if (line.size() >= limit) return failWith(ERROR_INVALID_DATA);
    line.push_back(c);
  }
}

int ChunkedDecoder::readTrailer(IHttpConnection& connection) {
  size_t used = 0;
  std::string line;
  for (;;) {
    if (readLine(connection, line, kMaxTrailer - std::min(used, kMaxTrailer)) < 0) return -1;
    if (line.empty()) return 0;
    used += line.size() + 2;
  }
}

int ChunkedDecoder::next(IHttpConnection& connection, char* buffer, int size) {
  std::string line;
  for (;;) {
    switch (state_) {
      case State::kDone:
        return 0;
      case State::kFailed:
        SetLastError(ERROR_INVALID_DATA);
        return -1;
      case State::kSizeLine: {
        if (readLine(connection, line, kMaxLine) < 0) return -1;
        long long chunkSize = 0;
        if (!parseChunkSizeLine(line, chunkSize)) return failWith(ERROR_INVALID_DATA);
        if (chunkSize == 0) {
          if (readTrailer(connection) < 0) return -1;
          state_ = State::kDone;
          return 0;
        }
        remaining_ = chunkSize;
        state_ = State::kData;
        break;
      }
      case State::kData: {
        int want = static_cast<int>(std::min<long long>(remaining_, size));
        int n = connection.read(buffer, want);
        if (n < 0) {
          state_ = State::kFailed;
          return -1;
        }
        if (n == 0) return failWith(ERROR_HANDLE_EOF);
        remaining_ -= n;
        if (remaining_ == 0) state_ = State::kDataEnd;
        return n;
      }
      case State::kDataEnd: {
        char crlf[2];
        for (int got = 0; got < 2;) {
          int n = connection.read(crlf + got, 2 - got);
          if (n < 0) {
            state_ = State::kFailed;
            return -1;
          }
          if (n == 0) return failWith(ERROR_HANDLE_EOF);
          got += n;
        }
        if (crlf[0] != '\r' || crlf[1] != '\n') return failWith(ERROR_INVALID_DATA);
        state_ = State::kSizeLine;
        break;
      }
    }
  }
}

}  // namespace utility
