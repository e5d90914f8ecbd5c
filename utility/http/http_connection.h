// The two interfaces between the HTTP facade and its parts: the transport
// connection it drives and the event sink it reports to.
#pragma once

#include <string>

namespace utility {

// One transport for one transfer. Blocking; used by one transfer thread.
// Exception: `close` may be called from one other thread while an operation
// runs; the running operation then fails (false / -1) and the object stays
// valid until `release`. Owners dispose of it only through `release`.
class IHttpConnection {
 public:
  // close, then destroy the object. Transfer thread only.
  virtual void release() = 0;
  // Closes every transport handle; harmless when nothing is open, and safe
  // against one operation running on another thread (see above).
  virtual void close() = 0;
  // Prepares the transport (socket / WinINet internet handle).
  virtual bool init() = 0;
  // Reaches the server. port: 1..65535.
  virtual bool connect(const std::wstring& host, int port) = 0;
  // Sends a GET for path. headers: complete "Name: value\r\n" lines or "".
  virtual bool sendGet(const std::wstring& host, const std::wstring& path,
                       const std::wstring& headers) = 0;
  // Sends a POST with bodyLength bytes of body (not owned).
  virtual bool sendPost(const std::wstring& path, const std::wstring& headers,
                        const void* body, int bodyLength) = 0;
  // Waits for the response header. status: HTTP status; total: body length
  // in bytes, or -1 when unknown. headerText receives the raw header block
  // (status line to the blank line) where the transport has one, else stays
  // as it is.
  virtual bool recvHeader(std::string& headerText, int& status, int& total) = 0;
  // Reads up to size body bytes: the count read (>= 1), 0 at the end of the
  // body, -1 on failure (last error set).
  virtual int read(char* buffer, int size) = 0;

 protected:
  ~IHttpConnection() = default;  // destroyed only through release()
};

// Receives the events of one transfer, on the transfer thread.
class IHttpClientSink {
 public:
  // A step failed. code: see CHttpClientWrapper (10, 11, 12, 16, 17, 19);
  // systemError: the thread's last error right after the failing step.
  virtual void onHttpError(int code, int systemError) = 0;
  // The response header arrived; false refuses the response.
  virtual bool onHttpRecvHeader(int status, int total) = 0;
  // One body piece (data not owned, valid during the call); false aborts.
  virtual bool onHttpRecvData(const char* data, int length) = 0;
  // The body is complete.
  virtual void onHttpFinished() = 0;

 protected:
  ~IHttpClientSink() = default;  // sinks live on their caller's stack
};

}  // namespace utility
