// zqtool get URL [--out FILE] [--socket]: one transfer through the HTTP
// facade, with the memory sink or, with --out, the file sink. Prints
// "status N", "total N", "error CODE SYSERR" as they happen, then
// "bytes N" and "result ok|failed". Exit 0 on success, 1 on failure,
// 2 on bad usage.
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tools/zqtool/command.h"
#include "utility/http/http_client_wrapper.h"
#include "utility/http/http_sinks.h"

namespace {

// Shows every event and passes it on to the real sink.
class PrintingSink : public utility::IHttpClientSink {
 public:
  explicit PrintingSink(utility::IHttpClientSink& inner) : inner_(inner) {}
  void onHttpError(int code, int systemError) override {
    zqPrintLine(L"error " + std::to_wstring(code) + L" " + std::to_wstring(systemError));
    inner_.onHttpError(code, systemError);
  }
  bool onHttpRecvHeader(int status, int total) override {
    zqPrintLine(L"status " + std::to_wstring(status));
    zqPrintLine(L"total " + std::to_wstring(total));
    return inner_.onHttpRecvHeader(status, total);
  }
  bool onHttpRecvData(const char* data, int length) override {
    if (!inner_.onHttpRecvData(data, length)) return false;
    bytes += length;
    return true;
  }
  void onHttpFinished() override { inner_.onHttpFinished(); }

  long long bytes = 0;  // body bytes the real sink accepted

 private:
  utility::IHttpClientSink& inner_;
};

int usage() {
  zqPrintLine(L"usage: zqtool get URL [--out FILE] [--socket]");
  return 2;
}

int runGet(const std::vector<std::wstring>& args) {
  std::wstring url, out;
  bool socket = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--socket") {
      socket = true;
    } else if (args[i] == L"--out" && i + 1 < args.size()) {
      out = args[++i];
    } else if (url.empty() && args[i].rfind(L"--", 0) != 0) {
      url = args[i];
    } else {
      return usage();
    }
  }
  if (url.empty()) return usage();

  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  bool ok = false;
  long long bytes = 0;
  {
    utility::CHttpClientWrapper client;
    client.connectionType = socket ? 1 : 0;
    std::string body;
    utility::CHttpDownload2MemSink memSink(body);
    utility::CHttpDownload2FileSink fileSink(out, nullptr);
    PrintingSink sink(out.empty() ? static_cast<utility::IHttpClientSink&>(memSink)
                                  : static_cast<utility::IHttpClientSink&>(fileSink));
    // The same steps as CHttpClientWrapper::download, with the printing sink.
    if (client.open(url, &sink)) ok = client.perform();
    client.close();
    if (fileSink.isFileOpen()) fileSink.closeFile();
    bytes = sink.bytes;
  }
  WSACleanup();
  zqPrintLine(L"bytes " + std::to_wstring(bytes));
  zqPrintLine(ok ? L"result ok" : L"result failed");
  return ok ? 0 : 1;
}

ZqCommand getCommand(L"get", L"get URL [--out FILE] [--socket]", runGet);

}  // namespace
