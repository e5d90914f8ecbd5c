// Entry point of the installer: brings the process up in a fixed order, runs
// the message loop of the UI thread and tears the model down once.
#include <winsock2.h>
#include <windows.h>
#include <objbase.h>

#include "app/downloader_impl.h"
#include "app/main_thread_dispatcher.h"
#include "common/data_folder.h"
#include "common/log.h"
#include "duilib/paint_manager.h"
#include "model/zq_downloader_model.h"
#include "ui/skin/skin.h"
#include "utility/log.h"

namespace {

constexpr wchar_t kVersion[] = L"1.0.5";
// The log writer gets this long to write out the last lines at exit.
constexpr unsigned kLogStopTimeoutMs = 2000;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // Elevated and usually started from a downloads folder: system DLLs are
  // taken from the system folder only, never from next to the program.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");

  if (FAILED(CoInitialize(nullptr))) {
    MessageBoxW(nullptr, L"启动错误", L"CoInitialize 失败", MB_OK);
    return 0;
  }
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);  // a failure shows later as failing sockets

  common::init(common::logFilePath());
  utility::logSink = common::writeLog;
  CMainThreadDispatcher::create();
  ZQ_LOG("wWinMain", L"downloader start. version is : %s *******************", kVersion);
  ZQ_LOG("wWinMain", L"commoninit end");

  duilibInit2(instance);
  ZQ_LOG("wWinMain", L"duilibInit2 end");

  {
    ZQDownloaderImpl app;
    if (app.entrance()) {
      DuiLib::CPaintManagerUI::MessageLoop();
    }
    // After the hand-off (window still up) or in a second instance; when the
    // user closed the window, its destruction has shut the model down.
    ZQDownloaderModel::destroyInstance();
  }

  CoUninitialize();
  common::stopLogWriter(kLogStopTimeoutMs);
  return 0;
}
