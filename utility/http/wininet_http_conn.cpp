#include "utility/http/wininet_http_conn.h"

#include "utility/http/tcp_http_conn.h"

namespace utility {

namespace {

// The socket connection's bounds, set on each request: without them a
// server that stalls keeps a call waiting for good (Wine) or for a very long
// time, and the caller's retries never come.
void applyTimeouts(HINTERNET request) {
  CTcpSocket::Timeouts t = CTcpSocket::timeouts();
  DWORD connectMs = static_cast<DWORD>(t.connectMs);
  DWORD ioMs = static_cast<DWORD>(t.ioMs);
  InternetSetOptionW(request, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof(connectMs));
  InternetSetOptionW(request, INTERNET_OPTION_SEND_TIMEOUT, &ioMs, sizeof(ioMs));
  InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &ioMs, sizeof(ioMs));
}

void closeKeepingError(HINTERNET& handle) {
  if (!handle) return;
  DWORD error = GetLastError();
  InternetCloseHandle(handle);
  handle = nullptr;
  SetLastError(error);
}

}  // namespace

void CWinInetHttpConn::release() {
  close();
  delete this;
}

void CWinInetHttpConn::close() {
  std::lock_guard<std::mutex> guard(lock_);
  closeKeepingError(request_);
  closeKeepingError(connection_);
  closeKeepingError(internet_);
}

HINTERNET CWinInetHttpConn::handle(HINTERNET CWinInetHttpConn::*which) {
  std::lock_guard<std::mutex> guard(lock_);
  HINTERNET h = this->*which;
  if (!h) SetLastError(ERROR_INVALID_HANDLE);
  return h;
}

bool CWinInetHttpConn::init() {
  HINTERNET h = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!h) return false;
  std::lock_guard<std::mutex> guard(lock_);
  closeKeepingError(internet_);
  internet_ = h;
  return true;
}

bool CWinInetHttpConn::connect(const std::wstring& host, int port) {
  HINTERNET internet = handle(&CWinInetHttpConn::internet_);
  if (!internet) return false;
  HINTERNET h = InternetConnectW(internet, host.c_str(), static_cast<INTERNET_PORT>(port),
                                 nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
  if (!h) return false;
  std::lock_guard<std::mutex> guard(lock_);
  if (!internet_) {  // closed meanwhile: the new handle died with its parent
    SetLastError(ERROR_OPERATION_ABORTED);
    return false;
  }
  closeKeepingError(connection_);
  connection_ = h;
  return true;
}

bool CWinInetHttpConn::openRequest(const wchar_t* verb, const std::wstring& path, DWORD flags) {
  HINTERNET connection = handle(&CWinInetHttpConn::connection_);
  if (!connection) return false;
  const wchar_t* accept[] = {L"*/*", nullptr};
  HINTERNET h = HttpOpenRequestW(connection, verb, path.c_str(), L"HTTP/1.1", nullptr, accept,
                                 flags, 1);
  if (!h) return false;
  applyTimeouts(h);
  std::lock_guard<std::mutex> guard(lock_);
  if (!connection_) {
    SetLastError(ERROR_OPERATION_ABORTED);
    return false;
  }
  closeKeepingError(request_);
  request_ = h;
  return true;
}

bool CWinInetHttpConn::sendGetWithFlags(const std::wstring& path, const std::wstring& headers,
                                        DWORD flags) {
  if (!openRequest(L"GET", path, flags)) return false;
  HINTERNET request = handle(&CWinInetHttpConn::request_);
  if (!request) return false;
  return HttpSendRequestW(request, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr,
                          0) != FALSE;
}

bool CWinInetHttpConn::sendPostWithFlags(const std::wstring& path, const std::wstring& headers,
                                         const void* body, int bodyLength, DWORD flags) {
  if (!openRequest(L"POST", path, flags)) return false;
  HINTERNET request = handle(&CWinInetHttpConn::request_);
  if (!request) return false;
  INTERNET_BUFFERSW buffers = {};
  buffers.dwStructSize = sizeof(buffers);
  buffers.lpcszHeader = headers.c_str();
  buffers.dwHeadersLength = static_cast<DWORD>(headers.size());
  buffers.dwHeadersTotal = static_cast<DWORD>(headers.size());
  buffers.lpvBuffer = const_cast<void*>(body);
  buffers.dwBufferLength = static_cast<DWORD>(bodyLength);
  buffers.dwBufferTotal = static_cast<DWORD>(bodyLength);
  if (!HttpSendRequestExW(request, &buffers, nullptr, 0, 0)) return false;
  return HttpEndRequestW(request, nullptr, 0, 0) != FALSE;
}

bool CWinInetHttpConn::sendGet(const std::wstring&, const std::wstring& path,
                               const std::wstring& headers) {
  return sendGetWithFlags(path, headers, kRequestFlags);
}

bool CWinInetHttpConn::sendPost(const std::wstring& path, const std::wstring& headers,
                                const void* body, int bodyLength) {
  return sendPostWithFlags(path, headers, body, bodyLength, kRequestFlags);
}

bool CWinInetHttpConn::recvHeader(std::string&, int& status, int& total) {
  HINTERNET request = handle(&CWinInetHttpConn::request_);
  if (!request) return false;
  DWORD value = 0;
  DWORD length = sizeof(value);
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &value, &length,
                      nullptr)) {
    return false;
  }
  status = static_cast<int>(value);
  total = -1;
  value = 0;
  length = sizeof(value);
  if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value, &length,
                     nullptr)) {
    total = static_cast<int>(value);
  }
  return true;
}

int CWinInetHttpConn::read(char* buffer, int size) {
  HINTERNET request = handle(&CWinInetHttpConn::request_);
  if (!request) return -1;
  DWORD got = 0;
  if (!InternetReadFile(request, buffer, static_cast<DWORD>(size), &got)) return -1;
  return static_cast<int>(got);
}

bool CWinInetHttpsConn::sendGet(const std::wstring&, const std::wstring& path,
                                const std::wstring& headers) {
  return sendGetWithFlags(path, headers, kSecureRequestFlags);
}

bool CWinInetHttpsConn::sendPost(const std::wstring& path, const std::wstring& headers,
                                 const void* body, int bodyLength) {
  return sendPostWithFlags(path, headers, body, bodyLength, kSecureRequestFlags);
}

}  // namespace utility
