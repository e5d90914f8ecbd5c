// Drives the model without windows: this thread is the UI thread (real
// dispatcher, message pump), the vendor-service simulator serves, and the
// stand-in installer installs into a temporary folder.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "model/zq_downloader_model.h"
#include "tests/support/log_capture.h"

namespace flow {

using testsupport::LogCapture;
using testsupport::LogLine;

struct Event {
  enum Kind { Progress, DownloadDone, InstallDone } kind;
  int percent = 0, received = 0, total = 0;
  bool success = false;
  DWORD tick = 0;
};

class Harness {
 public:
  Harness();
  ~Harness();

  // GET http://127.0.0.1:<sim>/_sim/<what>; returns the body.
  std::string sim(const std::string& what);
  // Request paths logged by the simulator since the harness began.
  std::vector<std::string> simPaths();
  int simCount(const std::string& path);
  int port() const { return port_; }

  // Model with the simulator as both hosts, short pauses, and `modulePath`
  // as the program's own path; init has run, callbacks record events.
  ZQDownloaderModel* start(const std::wstring& modulePath = L"C:\\dl\\setup.exe",
                           unsigned fallbackMs = 3000, unsigned pauseMs = 50);
  // start(), then waits for the version query and presses install with
  // `folder` as the install path; null when the query did not end.
  ZQDownloaderModel* startAndPressInstall();
  // Runs the message loop until pred() or timeoutMs; returns pred().
  bool pumpUntil(const std::function<bool()>& pred, unsigned timeoutMs);
  void pumpFor(unsigned ms) { pumpUntil([] { return false; }, ms); }
  // Until the query worker's last line ("package is ...") appeared `count` times.
  bool waitQueryDone(unsigned timeoutMs = 15000, int count = 1);
  int queryEnds() const { return log.countStarting(L"package is "); }

  int countEvents(Event::Kind kind) const;
  const Event* firstEvent(Event::Kind kind) const;

  // Temporary install folder (no trailing backslash) and the record folder
  // of the stand-in programs.
  std::wstring folder;
  std::wstring recordDir;
  std::wstring fixturePayload() const;  // the built stand-in zvinst.exe
  // Text of a record file of the stand-ins, "" when absent.
  std::string record(const wchar_t* name) const;

  static void setRegistry(const std::wstring& installDir, const std::wstring& version);
  static void clearRegistry();
  static std::wstring readRegistry(const wchar_t* name);

  LogCapture log;
  std::vector<Event> events;
  ZQDownloaderModel* model = nullptr;

 private:
  int port_ = 0;
  std::wstring root_;
};

bool fileExists(const std::wstring& path);
std::string readFile(const std::wstring& path);
std::wstring widen(const std::string& s);

}  // namespace flow
