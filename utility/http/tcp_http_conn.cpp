#include "utility/http/tcp_http_conn.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "utility/encoding.h"
#include "utility/http/chunked_decoder.h"
#include "utility/http/http_client_wrapper.h"
#include "utility/http/http_url.h"

namespace utility {

void CTcpHttpConn::release() {
  close();
  delete this;
}

void CTcpHttpConn::close() { socket_.abort(); }

bool CTcpHttpConn::init() {
  if (socket_.isOpen()) {
    WSASetLastError(WSAEISCONN);
    return false;
  }
  socket_.clearAbort();
  return socket_.create();
}

bool CTcpHttpConn::connect(const std::wstring& host, int port) {
  std::string name = wideToAnsi(host);
  if (name.empty()) {
    WSASetLastError(WSAEINVAL);
    return false;
  }
  port_ = port;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  unsigned long ip = inet_addr(name.c_str());
  if (ip != INADDR_NONE) {
    address.sin_addr.s_addr = ip;
    return socket_.connectTo(address);
  }
  hostent* entry = gethostbyname(name.c_str());
  if (!entry || entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr)) return false;
  // The entry is the thread's own and is overwritten by the next lookup:
  // copy the addresses first.
  std::vector<in_addr> addresses;
  for (char** p = entry->h_addr_list; *p; ++p) {
    in_addr a;
    memcpy(&a, *p, sizeof(a));
    addresses.push_back(a);
  }
  return connectToAny(addresses, port);
}

bool CTcpHttpConn::connectToAny(const std::vector<in_addr>& addresses, int port) {
  port_ = port;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) {
      // The failed attempt left the socket unusable for another connect.
      socket_.close();
      if (!socket_.create()) return false;
    }
    address.sin_addr = addresses[i];
    if (socket_.connectTo(address)) return true;
  }
  return false;
}

bool CTcpHttpConn::sendGet(const std::wstring& host, const std::wstring& path,
                           const std::wstring& headers) {
  auto lacks = [&headers](const wchar_t* text) { return headers.find(text) == std::wstring::npos; };
  std::wstring text = L"GET " + path + L" HTTP/1.1\r\n";
  if (lacks(L"Content-Type")) text += L"Content-Type:application/x-www-form-urlencoded\r\n";
  if (lacks(L"Host:")) {
    text += L"Host:" + host;
    if (port_ != 80) text += L":" + std::to_wstring(port_);  // names the right virtual host
    text += L"\r\n";
  }
  if (lacks(L"Cache-Control:")) text += L"Cache-Control:no-cache\r\nPragma:no-cache\r\n";
  // This connection is never reused: without this line a server that keeps
  // it alive leaves a body without a length waiting.
  if (lacks(L"Connection:")) text += L"Connection:close\r\n";
  if (!headers.empty()) {
    text += headers;
    if (headers.size() < 2 || headers.compare(headers.size() - 2, 2, L"\r\n") != 0) text += L"\r\n";
  }
  if (lacks(L"User-Agent:")) text += L"User-Agent:okhttp/3.5.0L\r\n";
  text += L"\r\n";
  return socket_.sendAll(wideToAnsi(text));
}

bool CTcpHttpConn::sendPost(const std::wstring&, const std::wstring&, const void*, int) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

bool CTcpHttpConn::readHeaderBlock(std::string& headerText) {
  for (;;) {
    if (headerText.size() >= kMaxHeaderBytes) {
      SetLastError(ERROR_INVALID_DATA);
      return false;
    }
    char c = 0;
    // One byte per call: nothing beyond the blank line may leave the socket.
    int n = socket_.receive(&c, 1);
    if (n < 1) {
      if (n == 0) SetLastError(ERROR_HANDLE_EOF);
      return false;
    }
    headerText.push_back(c);
    size_t size = headerText.size();
    if (size >= 4 && headerText.compare(size - 4, 4, "\r\n\r\n") == 0) return true;
  }
}

bool CTcpHttpConn::followRedirect(const std::string& headerText) {
  std::string value;
  if (!CHttpClientWrapper::getHeaderValue(headerText, "location", value)) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  std::wstring location = ansiToWide(value);
  socket_.close();
  if (!socket_.create()) return false;
  HttpUrl url;
  HttpUrl::parse(location, url);
  if (!connect(url.host, url.port)) return false;
  return sendGet(url.host, url.path, L"");
}

bool CTcpHttpConn::recvHeader(std::string& headerText, int& status, int& total) {
  for (int redirects = 0;; ++redirects) {
    if (!readHeaderBlock(headerText)) return false;
    size_t space = headerText.find(' ');
    if (space == std::string::npos) {
      SetLastError(ERROR_INVALID_DATA);
      return false;
    }
    status = atoi(headerText.c_str() + space + 1);
    if (status != 301 && status != 302) break;
    if (redirects == kMaxRedirects) {
      SetLastError(ERROR_INVALID_DATA);
      return false;
    }
    if (!followRedirect(headerText)) return false;
    headerText.clear();
  }
  total = -1;
  std::string value;
  if (status == 204 || status == 304) {
    total = 0;  // no body, whatever the header says
  } else if (hasChunkedFraming(headerText)) {
    total = -1;  // the framing, not a length, ends the body
  } else if (CHttpClientWrapper::getHeaderValue(headerText, "Content-Length", value) &&
             !value.empty() && value[0] >= '0' && value[0] <= '9') {
    long long length = strtoll(value.c_str(), nullptr, 10);
    total = length > INT_MAX ? -1 : static_cast<int>(length);
  }
  return true;
}

int CTcpHttpConn::read(char* buffer, int size) { return socket_.receive(buffer, size); }

}  // namespace utility
