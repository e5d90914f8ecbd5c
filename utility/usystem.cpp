#include "utility/usystem.h"

#include <shellapi.h>
#include <shlobj.h>

#include "utility/log.h"

namespace utility::usystem {

unsigned osMajorVersion() {
  OSVERSIONINFOEXW extended = {};
  extended.dwOSVersionInfoSize = sizeof(extended);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended))) return extended.dwMajorVersion;
  OSVERSIONINFOW basic = {};
  basic.dwOSVersionInfoSize = sizeof(basic);
  if (GetVersionExW(&basic)) return basic.dwMajorVersion;
  return 0;
}

bool isVistaOrLater() { return osMajorVersion() > 5; }

void showWndOnTop(HWND window) {
  const char* const fn = "utility::usystem::showWndOnTop";
  ZQ_LOG(fn, L"showWndOnTop begin");
  if (IsIconic(window)) {
    ZQ_LOG(fn, L"11111");
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    ZQ_LOG(fn, L"22222");
  } else {
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    ZQ_LOG(fn, L"33333");
    if (exStyle & WS_EX_TOPMOST) {
      ShowWindow(window, SW_SHOW);
      ZQ_LOG(fn, L"444444");
    } else {
      SetForegroundWindow(window);
      BringWindowToTop(window);
      ZQ_LOG(fn, L"55555");
      // Topmost and straight back: lifts the window above all others once.
      const UINT flags = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE;
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
      SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
  }
  ZQ_LOG(fn, L"showWndOnTop end");
}

void openUrl(const std::wstring& url) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = url.c_str();
  info.nShow = SW_SHOW;
  if (ShellExecuteExW(&info)) return;
  // The process runs elevated: start the browser by its full path only, so
  // a planted "iexplore.exe" next to us or on the path is never run.
  wchar_t programFiles[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles))) return;
  std::wstring browser = programFiles;
  browser += L"\\Internet Explorer\\iexplore.exe";
  ShellExecuteW(nullptr, L"open", browser.c_str(), url.c_str(), nullptr, SW_SHOW);
}

std::wstring systemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::wstring();
  std::wstring folder(buffer, n);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

}  // namespace utility::usystem
