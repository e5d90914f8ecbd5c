// Shared pieces of the HTTP client tests: the test server's ports, a sink
// that records every event, one-call transfers and the body pattern.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "utility/http/http_client_wrapper.h"
#include "utility/http/http_connection.h"

namespace httptest {

// Port of one listener of tests/servers/http_test_server.py ("http",
// "https", "stall", "refused"); 0 when the port file lacks it.
int serverPort(const char* name);
// "http://127.0.0.1:PORT" + path for the plain listener.
std::wstring httpUrl(const std::string& path);
std::wstring httpsUrl(const std::string& path);
// base64url of bytes (the server's /raw route).
std::string base64Url(const std::string& bytes);
// The server's body: byte i is i % 251.
std::string pattern(size_t offset, size_t n);

struct RecordingSink : utility::IHttpClientSink {
  std::vector<std::pair<int, int>> errors;  // (code, system error)
  int status = -1;
  int total = -2;
  std::string body;
  std::vector<int> pieces;  // length of every piece
  int headers = 0;
  int finished = 0;
  bool acceptHeader = true;
  bool refuseData = false;

  void onHttpError(int code, int systemError) override { errors.emplace_back(code, systemError); }
  bool onHttpRecvHeader(int s, int t) override {
    ++headers;
    status = s;
    total = t;
    return acceptHeader;
  }
  bool onHttpRecvData(const char* data, int length) override {
    if (refuseData) return false;
    body.append(data, static_cast<size_t>(length));
    pieces.push_back(length);
    return true;
  }
  void onHttpFinished() override { ++finished; }

  int firstCode() const { return errors.empty() ? 0 : errors.front().first; }
};

struct Outcome {
  bool ok = false;
  RecordingSink sink;
};

// open + perform + close on a fresh wrapper with connectionType.
Outcome fetch(const std::wstring& url, int connectionType);

}  // namespace httptest
