// The socket connection's own HTTP/1.1: request text, header parsing,
// chunked framing, redirects, bounds and time-outs.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <vector>

#include "tests/http/http_test_support.h"
#include "utility/http/tcp_http_conn.h"

using httptest::base64Url;
using httptest::fetch;
using httptest::httpUrl;

namespace {

std::string port() { return std::to_string(httptest::serverPort("http")); }

// Exact response bytes through the server's /raw route, then the server
// closes (or stays silent for stallSeconds first).
std::wstring rawUrl(const std::string& response, int stallSeconds = 0) {
  std::string path = "/raw?b=" + base64Url(response);
  if (stallSeconds) path += "&stall=" + std::to_string(stallSeconds);
  return httpUrl(path);
}

const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

struct TimeoutsGuard {
  explicit TimeoutsGuard(int ms) : saved(utility::CTcpSocket::timeouts()) {
    utility::CTcpSocket::setTimeouts({ms, ms});
  }
  ~TimeoutsGuard() { utility::CTcpSocket::setTimeouts(saved); }
  utility::CTcpSocket::Timeouts saved;
};

}  // namespace

TEST(SocketConn, RawResponses) {
  struct Case {
    std::string name;
    std::string response;
    bool ok;
    int code;
    int status;
    int total;
    std::string body;
  } cases[] = {
      {"one chunk", kChunkedHead + "5\r\nhello\r\n0\r\n\r\n", true, 0, 200, -1, "hello"},
      {"extension ignored", kChunkedHead + "1f;x\r\n" + std::string(31, 'x') + "\r\n0\r\n\r\n", true, 0,
       200, -1, std::string(31, 'x')},
      {"trailer read", kChunkedHead + "3\r\nabc\r\n0\r\nX-A: 1\r\n\r\n", true, 0, 200, -1, "abc"},
      {"bad size line", kChunkedHead + "zz\r\nabc\r\n0\r\n\r\n", false, 19, 200, -1, ""},
      {"size beyond 31 bits", kChunkedHead + "80000000\r\nabc", false, 19, 200, -1, ""},
      {"chunk cut short", kChunkedHead + "10\r\nabc", false, 19, 200, -1, "abc"},
      {"no CR LF after data", kChunkedHead + "5\r\nhelloXX0\r\n\r\n", false, 19, 200, -1, "hello"},
      {"no last chunk", kChunkedHead + "5\r\nhello\r\n", false, 19, 200, -1, "hello"},
      {"trailer cut short", kChunkedHead + "2\r\nab\r\n0\r\nX-A: 1\r\n", false, 19, 200, -1, "ab"},
      {"bare LF in size line", kChunkedHead + "5\nhello\r\n0\r\n\r\n", false, 19, 200, -1, ""},
      {"framing beats length",
       "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
       true, 0, 200, -1, "hello"},
      {"look-alike header is not framing",
       "HTTP/1.1 200 OK\r\nX-Orig-Transfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\nhello", true, 0,
       200, 5, "hello"},
      {"look-alike before the real one",
       "HTTP/1.1 200 OK\r\nX-Orig-Transfer-Encoding: identity\r\ntransfer-encoding: chunked\r\n\r\n"
       "2\r\nok\r\n0\r\n\r\n",
       true, 0, 200, -1, "ok"},
      {"no space in the header block", "HTTP/1.1\r\nX:y\r\n\r\n", false, 17, -1, -2, ""},
      {"header cut short", "HTTP/1.1 200 OK\r\nContent-Le", false, 17, -1, -2, ""},
      {"303 not followed", "HTTP/1.1 303 See Other\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: 2\r\n\r\nab",
       true, 0, 303, 2, "ab"},
      {"307 not followed", "HTTP/1.1 307 Temporary\r\nLocation: http://127.0.0.1:1/\r\nContent-Length: 0\r\n\r\n",
       true, 0, 307, 0, ""},
      {"308 not followed", "HTTP/1.1 308 Permanent\r\nLocation: http://127.0.0.1:1/\r\n\r\nxyz", true, 0, 308,
       -1, "xyz"},
      {"301 without location", "HTTP/1.1 301 Moved\r\nContent-Length: 0\r\n\r\n", false, 17, -1, -2, ""},
      {"Content-Location is not Location",
       "HTTP/1.1 302 Found\r\nContent-Location: http://127.0.0.1:1/\r\nLocation: http://127.0.0.1:" + port() +
           "/fixed?n=4\r\nContent-Length: 0\r\n\r\n",
       true, 0, 200, 4, httptest::pattern(0, 4)},
      {"https location means plain TCP to its port",
       "HTTP/1.1 302 Found\r\nLocation: https://127.0.0.1:" + port() + "/fixed?n=6\r\n\r\n", true, 0, 200, 6,
       httptest::pattern(0, 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    httptest::Outcome out = fetch(rawUrl(c.response), 1);
    EXPECT_EQ(out.ok, c.ok);
    EXPECT_EQ(out.sink.firstCode(), c.code);
    EXPECT_EQ(out.sink.status, c.status);
    if (c.total != -2) {
      EXPECT_EQ(out.sink.total, c.total);
    }
    EXPECT_EQ(out.sink.body, c.body);
    EXPECT_EQ(out.sink.finished, c.ok ? 1 : 0);
  }
}

TEST(SocketConn, NoBodyResponsesEndAtOnceOnAnOpenConnection) {
  const std::string responses[] = {
      "HTTP/1.1 204 No Content\r\nContent-Length: 10\r\n\r\n",
      "HTTP/1.1 304 Not Modified\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n",
  };
  for (const std::string& response : responses) {
    ULONGLONG start = GetTickCount64();
    httptest::Outcome out = fetch(rawUrl(response, 20), 1);  // the server keeps the line open
    EXPECT_TRUE(out.ok) << response;
    EXPECT_EQ(out.sink.total, 0) << response;
    EXPECT_LT(GetTickCount64() - start, 5000u) << response;
  }
}

TEST(SocketConn, HeaderBlockIsBounded) {
  httptest::Outcome small = fetch(httpUrl("/bighead?n=60000"), 1);
  EXPECT_TRUE(small.ok);
  httptest::Outcome big = fetch(httpUrl("/bighead?n=70000"), 1);
  EXPECT_FALSE(big.ok);
  EXPECT_EQ(big.sink.firstCode(), 17);
}

TEST(SocketConn, RequestText) {
  httptest::Outcome direct = fetch(httpUrl("/echo?a=1"), 1);
  ASSERT_TRUE(direct.ok);
  EXPECT_EQ(direct.sink.body,
            "GET /echo?a=1 HTTP/1.1\r\nHost:127.0.0.1:" + port() +
                "\r\nCache-Control:no-cache\r\nPragma:no-cache\r\nConnection:close\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: okhttp/3.5.0L\r\n\r\n");

  std::string target = "http://127.0.0.1:" + port() + "/echo";
  httptest::Outcome redirected = fetch(rawUrl("HTTP/1.1 301 Moved\r\nLocation: " + target + "\r\n\r\n"), 1);
  ASSERT_TRUE(redirected.ok);
  EXPECT_EQ(redirected.sink.body,
            "GET /echo HTTP/1.1\r\nContent-Type:application/x-www-form-urlencoded\r\nHost:127.0.0.1:" +
                port() + "\r\nCache-Control:no-cache\r\nPragma:no-cache\r\nConnection:close\r\n"
                "User-Agent:okhttp/3.5.0L\r\n\r\n");
}

TEST(SocketConn, CallerLinesReplaceOwnLines) {
  auto* conn = new utility::CTcpHttpConn();
  ASSERT_TRUE(conn->init());
  EXPECT_FALSE(conn->init()) << "a second init refuses";
  ASSERT_TRUE(conn->connect(L"127.0.0.1", httptest::serverPort("http"))) << "the first socket stays usable";
  ASSERT_TRUE(conn->sendGet(L"127.0.0.1", L"/echo",
                            L"Host: custom:1\r\nConnection: keep-alive\r\nUser-Agent: t"));
  std::string head;
  int status = 0, total = 0;
  ASSERT_TRUE(conn->recvHeader(head, status, total));
  EXPECT_EQ(status, 200);
  std::string body;
  char buffer[4096];
  for (int n; (n = conn->read(buffer, sizeof(buffer))) > 0;) body.append(buffer, n);
  EXPECT_EQ(body,
            "GET /echo HTTP/1.1\r\nContent-Type:application/x-www-form-urlencoded\r\n"
            "Cache-Control:no-cache\r\nPragma:no-cache\r\n"
            "Host: custom:1\r\nConnection: keep-alive\r\nUser-Agent: t\r\n\r\n");
  EXPECT_FALSE(conn->sendPost(L"/x", L"", "a", 1));
  conn->release();
}

TEST(SocketConn, EmptyHostAndNameResolution) {
  auto* conn = new utility::CTcpHttpConn();
  ASSERT_TRUE(conn->init());
  EXPECT_FALSE(conn->connect(L"", 80));
  EXPECT_TRUE(conn->connect(L"localhost", httptest::serverPort("http")));
  conn->release();
}

TEST(SocketConn, TimeOutsAreFailures) {
  TimeoutsGuard guard(700);
  struct Case {
    std::wstring url;
    int code;
  } cases[] = {
      {L"http://127.0.0.1:" + std::to_wstring(httptest::serverPort("stall")) + L"/", 12},
      {httpUrl("/stall-header?t=20"), 17},
      {httpUrl("/stall-body?n=100000&send=1000&t=20"), 19},
  };
  for (const Case& c : cases) {
    ULONGLONG start = GetTickCount64();
    httptest::Outcome out = fetch(c.url, 1);
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.sink.errors.size(), 1u);
    EXPECT_EQ(out.sink.errors[0].first, c.code);
    EXPECT_EQ(out.sink.errors[0].second, WSAETIMEDOUT);
    EXPECT_GE(took, 600u);
    EXPECT_LT(took, 5000u);
  }
}

TEST(SocketConn, DefaultTimeouts) {
  utility::CTcpSocket::Timeouts t = utility::CTcpSocket::timeouts();
  EXPECT_EQ(t.connectMs, 15000);
  EXPECT_EQ(t.ioMs, 30000);
}

TEST(SocketConn, NextAddressIsTriedAfterRefusedOnes) {
  // The test server listens on 127.0.0.1 only: 127.0.0.2 and .3 refuse.
  in_addr live, refused1, refused2;
  live.s_addr = inet_addr("127.0.0.1");
  refused1.s_addr = inet_addr("127.0.0.2");
  refused2.s_addr = inet_addr("127.0.0.3");
  const std::vector<in_addr> working[] = {{refused1, live}, {refused1, refused2, live}};
  for (const auto& addresses : working) {
    auto* conn = new utility::CTcpHttpConn();
    ASSERT_TRUE(conn->init());
    EXPECT_TRUE(conn->connectToAny(addresses, httptest::serverPort("http")))
        << addresses.size() << " addresses, error " << WSAGetLastError();
    EXPECT_TRUE(conn->sendGet(L"127.0.0.1", L"/fixed?n=3", L""));
    std::string head;
    int status = 0, total = 0;
    EXPECT_TRUE(conn->recvHeader(head, status, total));
    EXPECT_EQ(status, 200);
    conn->release();
  }
  auto* conn = new utility::CTcpHttpConn();
  ASSERT_TRUE(conn->init());
  EXPECT_FALSE(conn->connectToAny({refused1, refused2}, httptest::serverPort("http")));
  EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
  conn->release();
}
