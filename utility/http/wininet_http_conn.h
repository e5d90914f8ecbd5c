// HTTP and HTTPS through WinINet (synchronous handles).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <string>

#include "utility/http/http_connection.h"

namespace utility {

// WinINet follows redirects and decodes chunked bodies. Each request gets
// the socket connection's time-outs (CTcpSocket::timeouts(): connect, and a
// send or receive without progress); a time-out is a failure. close from
// another thread closes the handles, which WinINet documents as the way to
// cancel a blocked synchronous call.
class CWinInetHttpConn : public IHttpConnection {
 public:
  static constexpr DWORD kRequestFlags = 0x84000001;  // RELOAD | NO_CACHE_WRITE | 1

  CWinInetHttpConn() = default;
  CWinInetHttpConn(const CWinInetHttpConn&) = delete;
  CWinInetHttpConn& operator=(const CWinInetHttpConn&) = delete;

  void release() override;
  void close() override;  // request, connection, internet handle in turn
  bool init() override;   // InternetOpenW, preconfigured proxy
  bool connect(const std::wstring& host, int port) override;
  bool sendGet(const std::wstring& host, const std::wstring& path,
               const std::wstring& headers) override;
  bool sendPost(const std::wstring& path, const std::wstring& headers,
                const void* body, int bodyLength) override;
  // headerText untouched; status from HTTP_QUERY_STATUS_CODE, total from
  // HTTP_QUERY_CONTENT_LENGTH or -1.
  bool recvHeader(std::string& headerText, int& status, int& total) override;
  int read(char* buffer, int size) override;

 protected:
  virtual ~CWinInetHttpConn() = default;  // through release()
  bool openRequest(const wchar_t* verb, const std::wstring& path, DWORD flags);
  bool sendGetWithFlags(const std::wstring& path, const std::wstring& headers,
                        DWORD flags);
  bool sendPostWithFlags(const std::wstring& path, const std::wstring& headers,
                         const void* body, int bodyLength, DWORD flags);
  HINTERNET handle(HINTERNET CWinInetHttpConn::*which);

  std::mutex lock_;  // guards the handles against close from another thread
  HINTERNET internet_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;
};

// Same, with INTERNET_FLAG_SECURE on every request.
class CWinInetHttpsConn : public CWinInetHttpConn {
 public:
  static constexpr DWORD kSecureRequestFlags = 0x84800001;

  bool sendGet(const std::wstring& host, const std::wstring& path,
               const std::wstring& headers) override;
  bool sendPost(const std::wstring& path, const std::wstring& headers,
                const void* body, int bodyLength) override;

 protected:
  ~CWinInetHttpsConn() override = default;
};

}  // namespace utility
