#include "utility/http/http_sinks.h"

#include "utility/log.h"

namespace utility {

void CHttpDownload2MemSink::onHttpError(int, int) {}

bool CHttpDownload2MemSink::onHttpRecvHeader(int status, int) {
  if (status < 200 || status > 299) return false;
  received_ = 0;  // the bound is per body; a retry starts afresh
  return true;
}

bool CHttpDownload2MemSink::onHttpRecvData(const char* data, int length) {
  if (length < 0) return false;
  // An endless reply must not exhaust memory.
  if (received_ + static_cast<size_t>(length) > kMaxBody) return false;
  target_.append(data, static_cast<size_t>(length));
  received_ += static_cast<size_t>(length);
  return true;
}

void CHttpDownload2MemSink::onHttpFinished() {}

CHttpDownload2FileSink::CHttpDownload2FileSink(const std::wstring& path,
                                               CHttpClientWrapper::IHttpDownloadSink* progress)
    : path_(path), progress_(progress) {}

CHttpDownload2FileSink::~CHttpDownload2FileSink() { closeFile(); }

void CHttpDownload2FileSink::closeFile() {
  if (file_ != INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    SetLastError(error);
  }
}

void CHttpDownload2FileSink::onHttpError(int, int) {}

bool CHttpDownload2FileSink::onHttpRecvHeader(int status, int totalLength) {
  static const char kFn[] = "utility::CHttpDownload2FileSink::onHttpRecvHeader";
  ZQ_LOG(kFn, L"onHttpRecvHeader status %d, total %d", status, totalLength);
  if (status < 200 || status > 299) {
    ZQ_LOG(kFn, L"onHttpRecvHeader error");
    return false;
  }
  total = totalLength;
  received = 0;
  closeFile();
  file_ = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    ZQ_LOG(kFn, L"create file error; filename %s lasterror:%d", path_.c_str(),
           static_cast<int>(error));
    SetLastError(error);
    return false;
  }
  return true;
}

bool CHttpDownload2FileSink::onHttpRecvData(const char* data, int length) {
  if (length < 0 || file_ == INVALID_HANDLE_VALUE) return false;
  received += length;
  if (progress_ && !progress_->onDownloadProgress(data, length, received, total)) return false;
  DWORD written = 0;
  if (!WriteFile(file_, data, static_cast<DWORD>(length), &written, nullptr)) return false;
  return written == static_cast<DWORD>(length);
}

void CHttpDownload2FileSink::onHttpFinished() {
  ZQ_LOG("utility::CHttpDownload2FileSink::onHttpFinished", L"http finish");
  closeFile();
}

}  // namespace utility
