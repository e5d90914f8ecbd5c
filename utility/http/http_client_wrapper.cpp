#include "utility/http/http_client_wrapper.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "utility/http/chunked_decoder.h"
#include "utility/http/http_sinks.h"
#include "utility/http/http_url.h"
#include "utility/http/tcp_http_conn.h"
#include "utility/http/wininet_http_conn.h"
#include "utility/strings.h"

namespace utility {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

// One step on the held connection, protected against close() from another
// thread: while the step runs, only this thread may release the connection.
class CHttpClientWrapper::ConnectionUse {
 public:
  explicit ConnectionUse(CHttpClientWrapper& owner) : owner_(owner) {
    std::lock_guard<std::mutex> guard(owner_.lock_);
    connection_ = owner_.connection_;
    if (connection_) owner_.inUse_ = true;
  }
  ConnectionUse(const ConnectionUse&) = delete;
  ConnectionUse& operator=(const ConnectionUse&) = delete;
  ~ConnectionUse() { finish(); }

  IHttpConnection* get() const { return connection_; }

  // Ends the use. false when the connection was closed during it (or there
  // was none); the last-error value is then ERROR_OPERATION_ABORTED,
  // otherwise it is kept.
  bool finish() {
    if (!connection_) {
      if (!finished_) SetLastError(ERROR_OPERATION_ABORTED);
      finished_ = true;
      return false;
    }
    DWORD error = GetLastError();
    bool abandoned = false;
    {
      std::lock_guard<std::mutex> guard(owner_.lock_);
      owner_.inUse_ = false;
      abandoned = owner_.abandoned_;
      owner_.abandoned_ = false;
    }
    IHttpConnection* connection = connection_;
    connection_ = nullptr;
    finished_ = true;
    if (abandoned) {
      connection->release();
      SetLastError(ERROR_OPERATION_ABORTED);
      return false;
    }
    SetLastError(error);
    return true;
  }

 private:
  CHttpClientWrapper& owner_;
  IHttpConnection* connection_ = nullptr;
  bool finished_ = false;
};

CHttpClientWrapper::CHttpClientWrapper() = default;

CHttpClientWrapper::~CHttpClientWrapper() { close(); }

void CHttpClientWrapper::fail(int code) {
  int error = static_cast<int>(GetLastError());
  if (sink_) sink_->onHttpError(code, error);
}

bool CHttpClientWrapper::open(const std::wstring& url, IHttpClientSink* sink) {
  close();  // never leak a connection a caller forgot to release
  sink_ = sink;
  IHttpConnection* connection = nullptr;
  if (startsWithNoCase(url, L"https://")) {
    connection = new CWinInetHttpsConn();
  } else if (connectionType == 1) {
    connection = new CTcpHttpConn();
  } else {
    connection = new CWinInetHttpConn();
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    connection_ = connection;
  }
  bool ok = false;
  {
    ConnectionUse use(*this);
    if (use.get()) ok = use.get()->init();
    if (!use.finish()) ok = false;
  }
  if (!ok) {
    fail(kErrorInit);
    return false;
  }
  HttpUrl parsed;
  if (!HttpUrl::parse(url, parsed)) {
    fail(kErrorUrl);
    return false;
  }
  host_ = parsed.host;
  port_ = parsed.port;
  path_ = parsed.path;
  return true;
}

std::wstring CHttpClientWrapper::buildHeaderText() {
  if (!headers_.count(L"Content-Type")) headers_[L"Content-Type"] = L"application/x-www-form-urlencoded";
  if (!headers_.count(L"User-Agent")) headers_[L"User-Agent"] = L"okhttp/3.5.0L";
  std::wstring text;
  for (const auto& [name, value] : headers_) text += name + L": " + value + L"\r\n";
  return text;
}

bool CHttpClientWrapper::request(std::string& headerText, int& status, int& total) {
  bool ok = false;
  {
    ConnectionUse use(*this);
    if (use.get()) ok = use.get()->connect(host_, port_);
    if (!use.finish()) ok = false;
  }
  if (!ok) {
    fail(kErrorConnect);
    return false;
  }
  std::wstring headers = buildHeaderText();
  {
    ConnectionUse use(*this);
    if (use.get()) ok = use.get()->sendGet(host_, path_, headers);
    if (!use.finish()) ok = false;
  }
  if (!ok) {
    fail(kErrorSend);
    return false;
  }
  headerText.clear();
  {
    ConnectionUse use(*this);
    if (use.get()) ok = use.get()->recvHeader(headerText, status, total);
    if (!use.finish()) ok = false;
  }
  if (!ok) {
    fail(kErrorHeader);
    return false;
  }
  if (sink_) return sink_->onHttpRecvHeader(status, total);
  return true;
}

int CHttpClientWrapper::readBodyPiece(char* buffer, ChunkedDecoder* decoder) {
  int n = -1;
  ConnectionUse use(*this);
  if (use.get()) n = decoder ? decoder->next(*use.get(), buffer, kPieceSize)
                             : use.get()->read(buffer, kPieceSize);
  if (!use.finish()) n = -1;
  return n;
}

bool CHttpClientWrapper::recvBody(const std::string& headerText, int total) {
  std::vector<char> buffer(kPieceSize);
  ChunkedDecoder decoder;
  ChunkedDecoder* framing = hasChunkedFraming(headerText) ? &decoder : nullptr;
  long long remaining = total;
  // A length of 0 (also given for 204 and 304) ends the body at once: the
  // server may keep the connection open after it.
  while (total != 0) {
    int n = readBodyPiece(buffer.data(), framing);
    if (n < 0) {
      fail(kErrorBody);
      return false;
    }
    if (n == 0) {
      if (total > 0 && remaining > 0) {  // ended before the announced length
        SetLastError(kErrorBodyShort);
        fail(kErrorBody);
        return false;
      }
      break;
    }
    if (sink_ && !sink_->onHttpRecvData(buffer.data(), n)) {
      fail(kErrorBody);
      return false;
    }
    if (total > 0) {
      remaining -= n;
      if (remaining <= 0) break;
    }
  }
  if (sink_) sink_->onHttpFinished();
  return true;
}

bool CHttpClientWrapper::perform() {
  std::string headerText;
  int status = 0;
  int total = -1;
  if (!request(headerText, status, total)) return false;
  return recvBody(headerText, total);
}

bool CHttpClientWrapper::download(const std::wstring& url, const std::wstring& filePath,
                                  IHttpDownloadSink* progress) {
  CHttpDownload2FileSink fileSink(filePath, progress);
  bool ok = false;
  if (open(url, &fileSink)) ok = perform();
  close();
  if (fileSink.isFileOpen()) fileSink.closeFile();
  sink_ = nullptr;  // the sink dies with this call
  return ok;
}

void CHttpClientWrapper::close() {
  IHttpConnection* idle = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (!connection_) return;
    if (inUse_) {
      // A step runs on another thread: stop its transport now; that thread
      // releases the object when the step returns.
      abandoned_ = true;
      connection_->close();
    } else {
      idle = connection_;
    }
    connection_ = nullptr;
  }
  if (idle) {
    idle->close();
    idle->release();
  }
}

bool CHttpClientWrapper::getHeaderValue(const std::string& headerText, const char* name,
                                        std::string& value) {
  size_t nameLength = strlen(name);
  if (nameLength == 0) return false;
  size_t lineStart = 0;
  while (lineStart < headerText.size()) {
    size_t lineEnd = headerText.find("\r\n", lineStart);
    if (lineEnd == std::string::npos) return false;  // no complete line left
    size_t i = lineStart;
    bool match = lineEnd - lineStart >= nameLength;
    for (size_t k = 0; match && k < nameLength; ++k) {
      match = tolower(static_cast<unsigned char>(headerText[i + k])) ==
              tolower(static_cast<unsigned char>(name[k]));
    }
    if (match) {
      i += nameLength;
      while (i < lineEnd && isBlank(headerText[i])) ++i;
      if (i < lineEnd && headerText[i] == ':') {
        size_t b = i + 1;
        while (b < lineEnd && isBlank(headerText[b])) ++b;
        size_t e = lineEnd;
        while (e > b && isBlank(headerText[e - 1])) --e;
        value = headerText.substr(b, e - b);
        return true;
      }
    }
    lineStart = lineEnd + 2;
  }
  return false;
}

}  // namespace utility
