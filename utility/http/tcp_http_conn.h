// HTTP/1.1 over a plain TCP socket (Winsock 2, IPv4). Winsock must have
// been started by the program (WSAStartup 2.2).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "utility/http/http_connection.h"

namespace utility {

// One TCP socket with bounded waits. The socket runs in event mode: every
// wait also watches a cancel event, so `close` from another thread stops a
// blocked operation at once without closing the handle under it.
// Operations other than close: one thread at a time.
class CTcpSocket {
 public:
  struct Timeouts {
    int connectMs = 15000;  // whole connect attempt to one address
    int ioMs = 30000;       // a send or receive that makes no progress
  };
  // Time-outs of sockets and WinINet requests created from now on (test
  // hook; default above).
  static void setTimeouts(const Timeouts& timeouts);
  static Timeouts timeouts();

  CTcpSocket();
  virtual ~CTcpSocket();  // closes the socket
  virtual void onOpened() {}  // after a socket was created
  virtual void onClosed() {}  // after the socket was closed
  CTcpSocket(const CTcpSocket&) = delete;
  CTcpSocket& operator=(const CTcpSocket&) = delete;

  // Creates an AF_INET stream socket. false when one is open already or
  // creation fails (WSA error kept).
  bool create();
  bool isOpen();
  // Connects to address; false on refusal, failure, time-out (WSAETIMEDOUT)
  // or cancel (WSA_OPERATION_ABORTED). May be called again after a failure.
  bool connectTo(const sockaddr_in& address);
  // Sends all bytes; false on failure, time-out or cancel.
  bool sendAll(const std::string& bytes);
  // One receive of up to size bytes: count (>= 1), 0 when the peer closed,
  // -1 on failure, time-out or cancel.
  int receive(char* buffer, int size);
  // Shuts down and closes the socket. From another thread while an
  // operation runs: cancels it, and the socket is closed when it returns.
  void close();
  // close, and refuse every later operation (create included) until
  // clearAbort: a close from another thread may fall between two steps.
  void abort();
  void clearAbort();

 private:
  SOCKET acquire();
  void unacquire();
  void closeLocked();
  // Waits until `deadline` (GetTickCount64 ms) for any network event of the
  // socket (callers then retry their call) and collects it into seen; false
  // on time-out (WSAETIMEDOUT), cancel or failure.
  bool waitUntil(SOCKET s, ULONGLONG deadline, WSANETWORKEVENTS* seen);

  std::mutex lock_;  // guards the fields below
  SOCKET socket_ = INVALID_SOCKET;
  WSAEVENT socketEvent_ = WSA_INVALID_EVENT;
  HANDLE cancelEvent_ = nullptr;  // manual reset; lives as long as the object
  int users_ = 0;                 // operations running outside the lock
  bool closePending_ = false;     // close came while users_ > 0
  bool aborted_ = false;
  Timeouts timeouts_;
};

class CTcpHttpConn final : public IHttpConnection {
 public:
  // Bounds of one recvHeader.
  static constexpr size_t kMaxHeaderBytes = 64 * 1024;
  static constexpr int kMaxRedirects = 5;

  CTcpHttpConn() = default;
  CTcpHttpConn(const CTcpHttpConn&) = delete;
  CTcpHttpConn& operator=(const CTcpHttpConn&) = delete;

  void release() override;
  // Closes the socket and refuses further operations until init.
  void close() override;
  // false when a socket is open already (that socket stays).
  bool init() override;
  // Dotted IPv4 addresses directly, names through gethostbyname trying
  // every address in turn. Empty host: false.
  bool connect(const std::wstring& host, int port) override;
  // Connects to the first of `addresses`, in order, that accepts on `port`;
  // each address after the first gets a fresh socket, since a socket whose
  // connect failed or timed out cannot always be connected again. false when
  // none accepts (the last attempt's error kept) or the connection was
  // closed meanwhile.
  bool connectToAny(const std::vector<in_addr>& addresses, int port);
  // Sends the request text (ANSI bytes): request line, the connection's own
  // lines (Content-Type, Host[:port], Cache-Control/Pragma, Connection:close,
  // User-Agent, each only when headers lacks it) and the caller's headers.
  bool sendGet(const std::wstring& host, const std::wstring& path,
               const std::wstring& headers) override;
  bool sendPost(const std::wstring& path, const std::wstring& headers,
                const void* body, int bodyLength) override;  // always false
  // Reads the header block (at most kMaxHeaderBytes), follows up to
  // kMaxRedirects 301/302 responses over new plain TCP connections.
  // total: Content-Length (any letter case / spacing), -1 when absent or the
  // body is chunked, 0 for 204 and 304.
  bool recvHeader(std::string& headerText, int& status, int& total) override;
  int read(char* buffer, int size) override;

 private:
  ~CTcpHttpConn() = default;  // through release()
  bool readHeaderBlock(std::string& headerText);
  bool followRedirect(const std::string& headerText);

  CTcpSocket socket_;
  int port_ = 80;  // port of the last connect, for the Host line
};

}  // namespace utility
