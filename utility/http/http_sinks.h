// The two event sinks the installer uses: body into memory, body into a
// file with progress. Both accept only 2xx responses. Transfer thread only.
#pragma once

#include <windows.h>

#include <string>

#include "utility/http/http_client_wrapper.h"
#include "utility/http/http_connection.h"

namespace utility {

// Appends the body to a caller's byte string (not owned, never cleared).
class CHttpDownload2MemSink : public IHttpClientSink {
 public:
  // Largest body accepted, in bytes; a longer one is refused (code 19).
  static constexpr size_t kMaxBody = 4 * 1024 * 1024;

  explicit CHttpDownload2MemSink(std::string& target) : target_(target) {}
  CHttpDownload2MemSink(const CHttpDownload2MemSink&) = delete;
  CHttpDownload2MemSink& operator=(const CHttpDownload2MemSink&) = delete;

  void onHttpError(int code, int systemError) override;
  // true for 200..299, which also starts a new body for the size bound.
  bool onHttpRecvHeader(int status, int total) override;
  // Appends; false once the current body would exceed kMaxBody.
  bool onHttpRecvData(const char* data, int length) override;
  void onHttpFinished() override;

 private:
  std::string& target_;
  size_t received_ = 0;  // bytes of the current body appended so far
};

// Streams the body into path, telling progress (not owned, may be null)
// about every piece before writing it. Logs its steps through utility::log.
class CHttpDownload2FileSink : public IHttpClientSink {
 public:
  CHttpDownload2FileSink(const std::wstring& path,
                         CHttpClientWrapper::IHttpDownloadSink* progress);
  ~CHttpDownload2FileSink();  // closes the file when still open
  CHttpDownload2FileSink(const CHttpDownload2FileSink&) = delete;
  CHttpDownload2FileSink& operator=(const CHttpDownload2FileSink&) = delete;

  void onHttpError(int code, int systemError) override;
  // 2xx: creates (or empties) the file and resets the counts; otherwise, or
  // when the file cannot be created, false and the file system is untouched.
  bool onHttpRecvHeader(int status, int total) override;
  // Counts, tells progress (false refuses the piece unwritten), writes all
  // bytes (false on a failed or short write).
  bool onHttpRecvData(const char* data, int length) override;
  // Logs "http finish" and closes the file.
  void onHttpFinished() override;

  // Whether the file is still open (the transfer did not finish).
  bool isFileOpen() const { return file_ != INVALID_HANDLE_VALUE; }
  // Closes the file when open; the bytes written stay.
  void closeFile();

  int received = 0;  // body bytes received so far
  int total = 0;     // the total given to onHttpRecvHeader (-1: unknown)

 private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::wstring path_;
  CHttpClientWrapper::IHttpDownloadSink* progress_;
};

}  // namespace utility
