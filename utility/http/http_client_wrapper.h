// The HTTP facade: one transfer at a time through one connection object,
// events to one sink. Blocking; runs on the caller's (worker) thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "utility/http/http_connection.h"

namespace utility {

class ChunkedDecoder;

class CHttpClientWrapper {
 public:
  // Progress of a download, called by the file sink for every piece before
  // the piece is written, on the transfer thread.
  class IHttpDownloadSink {
   public:
    // received: body bytes so far including this piece; total: the length
    // announced by the header, or -1. false aborts the transfer (code 19).
    virtual bool onDownloadProgress(const char* data, int length, int received,
                                    int total) = 0;

   protected:
    ~IHttpDownloadSink() = default;
  };

  // Failure codes reported through IHttpClientSink::onHttpError.
  enum ErrorCode {
    kErrorInit = 10,       // init of the new connection failed
    kErrorUrl = 11,        // URL parsing failed
    kErrorConnect = 12,    // connect failed
    kErrorSend = 16,       // sendGet failed (also TLS / certificate failures)
    kErrorHeader = 17,     // recvHeader failed
    kErrorBody = 19,       // a body piece failed, the body ended short, or the sink refused a piece
  };
  // Last-error value reported with code 19 when the body ends before its
  // announced length.
  static constexpr int kErrorBodyShort = 38;  // ERROR_HANDLE_EOF
  // Body piece size handed to sinks at most, in bytes.
  static constexpr int kPieceSize = 32768;

  CHttpClientWrapper();
  ~CHttpClientWrapper();  // close
  CHttpClientWrapper(const CHttpClientWrapper&) = delete;
  CHttpClientWrapper& operator=(const CHttpClientWrapper&) = delete;

  // Chooses the connection (https:// -> CWinInetHttpsConn; else
  // connectionType 1 -> CTcpHttpConn; else CWinInetHttpConn), inits it and
  // parses url. sink: not owned, may be null, must outlive the transfer.
  // A connection still held is closed first. Failure codes 10 and 11; the
  // connection stays held until close.
  bool open(const std::wstring& url, IHttpClientSink* sink);
  // Connect, send the GET with the default headers, receive the header and
  // hand status/total to the sink. false on failure (codes 12, 16, 17) or
  // when the sink refuses the header (no code).
  bool request(std::string& headerText, int& status, int& total);
  // Reads the body (pieces of at most kPieceSize bytes, chunked framing when
  // headerText says so) into the sink; onHttpFinished at its end. headerText
  // and total as returned by request. false with code 19 on failure.
  bool recvBody(const std::string& headerText, int total);
  // request, then recvBody.
  bool perform();
  // Stores the body of url in filePath (created or emptied when the header
  // is accepted; a partial file stays on failure). progress: may be null.
  bool download(const std::wstring& url, const std::wstring& filePath,
                IHttpDownloadSink* progress);
  // Closes and releases the held connection, if any. Safe from another
  // thread while a transfer runs, and returns at once there: the running
  // step fails with its own code (last error ERROR_OPERATION_ABORTED) and
  // the transfer thread releases the connection when that step returns.
  // The socket connection's blocked waits end at once; a blocked WinINet
  // call ends when WinINet returns it (at once on Windows, which cancels it
  // when its handle closes). The sink is kept.
  void close();

  // Finds the header line "name: value" (name ignoring letter case, at the
  // start of a line, optional spaces before ':'); value has spaces stripped
  // at both ends. false when there is no such line.
  static bool getHeaderValue(const std::string& headerText, const char* name,
                             std::string& value);

  // 0: WinINet for http:// URLs; 1: the socket connection. Written directly
  // by callers between transfers.
  int connectionType = 0;

 private:
  class ConnectionUse;
  std::wstring buildHeaderText();
  // decoder: null for a body without chunked framing.
  int readBodyPiece(char* buffer, ChunkedDecoder* decoder);
  void fail(int code);

  std::wstring host_;
  uint16_t port_ = 0;
  std::wstring path_;
  std::map<std::wstring, std::wstring> headers_;
  IHttpClientSink* sink_ = nullptr;

  // Guards connection_ and the hand-over below against close() from
  // another thread.
  std::mutex lock_;
  IHttpConnection* connection_ = nullptr;
  bool inUse_ = false;      // a step runs on connection_ outside the lock
  bool abandoned_ = false;  // close() came during that step: the step's thread releases it
};

}  // namespace utility
