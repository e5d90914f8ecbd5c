// Whole transfers through the facade against the test server, over the
// WinINet connection (type 0) and the socket connection (type 1).
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include "tests/http/http_test_support.h"
#include "utility/http/tcp_http_conn.h"

using httptest::fetch;
using httptest::httpUrl;
using httptest::pattern;

namespace {

struct Case {
  const char* path;
  bool ok;
  int code;           // first error code, 0 for none
  int status;         // -1: no header reached the sink
  int total;          // as given to the sink; -2: not checked
  size_t bodyLength;  // pattern bytes expected when ok
};

void runTable(int connectionType, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " type " + std::to_string(connectionType));
    httptest::Outcome out = fetch(httpUrl(c.path), connectionType);
    EXPECT_EQ(out.ok, c.ok);
    EXPECT_EQ(out.sink.firstCode(), c.code);
    EXPECT_EQ(out.sink.status, c.status);
    if (c.total != -2) {
      EXPECT_EQ(out.sink.total, c.total);
    }
    EXPECT_LE(out.sink.errors.size(), 1u) << "every failure is reported once";
    if (c.ok) {
      EXPECT_EQ(out.sink.finished, 1);
      EXPECT_EQ(out.sink.body, pattern(0, c.bodyLength));
      for (int n : out.sink.pieces) EXPECT_LE(n, 32768);
    } else {
      EXPECT_EQ(out.sink.finished, 0);
    }
  }
}

// Cases both connection types agree on.
const std::vector<Case> kCommon = {
    {"/fixed?n=100", true, 0, 200, 100, 100},
    {"/fixed?n=0", true, 0, 200, 0, 0},
    {"/fixed?n=200000", true, 0, 200, 200000, 200000},
    {"/nolen?n=70000", true, 0, 200, -1, 70000},
    {"/chunked?sizes=5", true, 0, 200, -1, 5},
    {"/chunked?sizes=1,2,3,100,7", true, 0, 200, -1, 113},
    {"/chunked?sizes=40000,70000,32768,1&ext=1&trailer=1&pad=1", true, 0, 200, -1, 142769},
    {"/short?n=1000&send=500", false, 19, 200, 1000, 0},
    {"/status?code=206&n=30", true, 0, 206, 30, 30},
    {"/status?code=204", true, 0, 204, -2, 0},
    {"/status?code=404", true, 0, 404, 20, 20},  // the recording sink accepts any status
    {"/chain?n=5&size=77", true, 0, 200, 77, 77},
    {"/stall-body?n=50&send=50", true, 0, 200, 50, 50},  // length reached: no wait
};

}  // namespace

TEST(Transfer, WinInetTable) {
  std::vector<Case> cases = kCommon;
  // WinINet resolves relative locations itself.
  cases.push_back({"/rel", true, 0, 200, 10, 10});
  cases.push_back({"/redirect?code=301&to=/fixed%3Fn%3D5", true, 0, 200, 5, 5});
  runTable(0, cases);
}

TEST(Transfer, SocketTable) {
  std::vector<Case> cases = kCommon;
  // Absolute redirect targets carry the port: a chain on the listener's own port.
  cases.push_back({"/chain?n=3&code=301&size=9", true, 0, 200, 9, 9});
  cases.push_back({"/chain?n=6", false, 17, -1, -2, 0});  // more than 5 redirects
  cases.push_back({"/loop", false, 17, -1, -2, 0});
  cases.push_back({"/rel", false, 17, -1, -2, 0});  // no host in the location
  cases.push_back({"/fixed?n=64&hdr=lower", true, 0, 200, 64, 64});
  cases.push_back({"/fixed?n=64&hdr=nospace", true, 0, 200, 64, 64});
  cases.push_back({"/fixed?n=64&hdr=spaced", true, 0, 200, 64, 64});
  // A keep-alive server: these end only through Connection:close or the length.
  cases.push_back({"/keepalive?mode=nolen", true, 0, 200, -1, 300});
  cases.push_back({"/keepalive?mode=zero", true, 0, 200, 0, 0});
  runTable(1, cases);
}

TEST(Transfer, RefusedConnection) {
  std::wstring url = L"http://127.0.0.1:" + std::to_wstring(httptest::serverPort("refused")) + L"/";
  httptest::Outcome winInet = fetch(url, 0);
  EXPECT_FALSE(winInet.ok);
  EXPECT_EQ(winInet.sink.firstCode(), 16);  // WinINet connects inside the send
  httptest::Outcome socket = fetch(url, 1);
  EXPECT_FALSE(socket.ok);
  EXPECT_EQ(socket.sink.firstCode(), 12);
  ASSERT_EQ(socket.sink.errors.size(), 1u);
  EXPECT_EQ(socket.sink.errors[0].second, WSAECONNREFUSED);
}

TEST(Transfer, WinInetStallsEndWithinTheBounds) {
  utility::CTcpSocket::Timeouts saved = utility::CTcpSocket::timeouts();
  utility::CTcpSocket::setTimeouts({700, 700});
  struct Stall {
    const char* path;
    int code;
  } stalls[] = {
      {"/stall-header?t=20", 16},  // WinINet waits for the header inside the send
      {"/stall-body?n=100000&send=1000&t=20", 19},
  };
  for (const Stall& stall : stalls) {
    SCOPED_TRACE(stall.path);
    ULONGLONG start = GetTickCount64();
    httptest::Outcome out = fetch(httpUrl(stall.path), 0);
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.sink.firstCode(), stall.code);
    EXPECT_LT(took, 8000u);
  }
  utility::CTcpSocket::setTimeouts(saved);
}

TEST(Transfer, HttpsSelfSignedCertificateIsRefused) {
  for (int type : {0, 1}) {  // https always goes through WinINet
    httptest::Outcome out = fetch(httptest::httpsUrl("/fixed?n=10"), type);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.sink.firstCode(), 16) << "type " << type;
    EXPECT_EQ(out.sink.headers, 0);
  }
}

TEST(Transfer, RefusedHeaderReadsNoBodyAndReportsNoCode) {
  for (int type : {0, 1}) {
    httptest::RecordingSink sink;
    sink.acceptHeader = false;
    utility::CHttpClientWrapper client;
    client.connectionType = type;
    ASSERT_TRUE(client.open(httpUrl("/fixed?n=100"), &sink));
    std::string headerText;
    int status = 0, total = 0;
    EXPECT_FALSE(client.request(headerText, status, total));
    EXPECT_EQ(status, 200);
    EXPECT_EQ(total, 100);
    EXPECT_TRUE(sink.errors.empty());
    EXPECT_TRUE(sink.body.empty());
    client.close();
  }
}

TEST(Transfer, RefusedPieceIsCode19) {
  for (int type : {0, 1}) {
    httptest::Outcome out;
    out.sink.refuseData = true;
    utility::CHttpClientWrapper client;
    client.connectionType = type;
    ASSERT_TRUE(client.open(httpUrl("/fixed?n=100"), &out.sink));
    EXPECT_FALSE(client.perform());
    EXPECT_EQ(out.sink.firstCode(), 19);
    EXPECT_EQ(out.sink.finished, 0);
  }
}

TEST(Transfer, OneWrapperServesTransfersInTurn) {
  utility::CHttpClientWrapper client;
  for (int round = 0; round < 4; ++round) {
    client.connectionType = round % 2;
    httptest::RecordingSink sink;
    client.close();
    ASSERT_TRUE(client.open(httpUrl("/echo"), &sink));
    EXPECT_TRUE(client.perform());
    client.close();
    // The default headers are inserted once and sent every time.
    EXPECT_NE(sink.body.find("User-Agent: okhttp/3.5.0L\r\n"), std::string::npos) << sink.body;
    EXPECT_NE(sink.body.find("Content-Type: application/x-www-form-urlencoded\r\n"),
              std::string::npos);
  }
}

TEST(Transfer, SchemeAfterCrLfChoosesByTheFirstEightCharacters) {
  // "\r\nhttps://" is not the https scheme for choosing the connection: a
  // plain connection reaches the plain listener, where TLS would fail.
  std::wstring url = L"\r\nhttps://127.0.0.1:" + std::to_wstring(httptest::serverPort("http")) +
                     L"/fixed?n=3";
  for (int type : {0, 1}) {
    httptest::Outcome out = fetch(url, type);
    EXPECT_TRUE(out.ok) << type;
    EXPECT_EQ(out.sink.body, pattern(0, 3));
  }
}
