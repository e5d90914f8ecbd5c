// URL splitting, header lookup and chunk-size lines: pure functions.
#include <gtest/gtest.h>

#include "utility/http/chunked_decoder.h"
#include "utility/http/http_client_wrapper.h"
#include "utility/http/http_url.h"

using utility::CHttpClientWrapper;
using utility::HttpUrl;

TEST(HttpUrl, SplitsHostPortAndPath) {
  struct Case {
    const wchar_t* url;
    const wchar_t* host;
    int port;
    const wchar_t* path;
  } cases[] = {
      {L"HTTP://Example/a", L"Example", 80, L"/a"},
      {L"http://host:8080/a?b=c", L"host", 8080, L"/a?b=c"},
      {L"http://host", L"host", 80, L"http://host"},
      {L"host/x", L"host", 80, L"/x"},
      {L"http://host:abc/", L"host", 0, L"/"},
      {L"\r\nhttps://h/p", L"h", 443, L"/p"},
      {L"https://secure.example/dl?x=1#f", L"secure.example", 443, L"/dl?x=1#f"},
      {L"http://h:70000/", L"h", 70000 & 0xFFFF, L"/"},
  };
  for (const Case& c : cases) {
    HttpUrl url;
    ASSERT_TRUE(HttpUrl::parse(c.url, url));
    EXPECT_EQ(url.host, c.host) << c.url;
    EXPECT_EQ(url.port, c.port) << c.url;
    EXPECT_EQ(url.path, c.path) << c.url;
  }
}

TEST(HeaderLookup, MatchesNamesOnlyAtLineStart) {
  const std::string block =
      "HTTP/1.1 302 Found\r\n"
      "Content-Location: /wrong\r\n"
      "X-Orig-Transfer-Encoding: identity\r\n"
      "LOCATION :  http://h/right  \r\n"
      "transfer-encoding:chunked\r\n"
      "Empty:\r\n"
      "\r\n";
  struct Case {
    const char* name;
    bool found;
    const char* value;
  } cases[] = {
      {"Location", true, "http://h/right"},
      {"location", true, "http://h/right"},
      {"Transfer-Encoding", true, "chunked"},
      {"Content-Location", true, "/wrong"},
      {"Empty", true, ""},
      {"Encoding", false, ""},
      {"Content-Length", false, ""},
      {"Loc", false, ""},
  };
  for (const Case& c : cases) {
    std::string value = "untouched";
    EXPECT_EQ(CHttpClientWrapper::getHeaderValue(block, c.name, value), c.found) << c.name;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.name;
    }
  }
  std::string value;
  EXPECT_FALSE(CHttpClientWrapper::getHeaderValue("Location: x", "Location", value))
      << "a line without CR LF is incomplete";
}

TEST(ChunkSizeLine, HexDigitsExtensionsAndBounds) {
  struct Case {
    const char* line;
    bool ok;
    long long size;
  } cases[] = {
      {"5", true, 5},
      {"1f;x", true, 31},
      {"1F ; name=value", true, 31},
      {"12345", true, 0x12345},
      {"8000", true, 32768},
      {"000000000000000a", true, 10},
      {"7fffffff", true, 0x7fffffff},
      {"80000000", false, 0},
      {"ffffffffff", false, 0},
      {"", false, 0},
      {";x", false, 0},
      {"5 x", false, 0},
      {"-5", false, 0},
      {"g", false, 0},
  };
  for (const Case& c : cases) {
    long long size = -1;
    EXPECT_EQ(utility::parseChunkSizeLine(c.line, size), c.ok) << c.line;
    if (c.ok) {
      EXPECT_EQ(size, c.size) << c.line;
    }
  }
}

TEST(ChunkedFraming, DetectedFromTheLastCoding) {
  EXPECT_TRUE(utility::hasChunkedFraming("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"));
  EXPECT_TRUE(utility::hasChunkedFraming("HTTP/1.1 200 OK\r\ntransfer-encoding: gzip, chunked\r\n\r\n"));
  EXPECT_FALSE(utility::hasChunkedFraming("HTTP/1.1 200 OK\r\nX-Orig-Transfer-Encoding: chunked\r\n\r\n"));
  EXPECT_FALSE(utility::hasChunkedFraming("HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n"));
  EXPECT_FALSE(utility::hasChunkedFraming(""));
}
