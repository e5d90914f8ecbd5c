#include "app/single_instance.h"

#include "app/instance_ids.h"
#include "utility/log.h"

bool popupExistingInstance(utility::UniqueHandle& mutexOut) {
  const char* const fn = "ZQDownloaderModel::popupExistPwnd";
  HANDLE created = CreateMutexW(nullptr, FALSE, kInstanceGuid);
  const DWORD error = GetLastError();
  utility::UniqueHandle mutex(created);
  if (mutex && error == ERROR_ALREADY_EXISTS) mutex.reset();

  if (mutex) {
    mutexOut = std::move(mutex);
    ZQ_LOG(fn, L"CCmdLine::popupExistPwnd not exist");
    return false;
  }
  // Another instance runs (or the mutex could not be made at all): ask its
  // IPC window, if it has one yet, to show the main window.
  if (HWND running = FindWindowW(kInstanceGuid, nullptr)) PostMessageW(running, MSG_SHOW_MAINFRAME, 0, 0);
  ZQ_LOG(fn, L"ZQDownloaderModel::popupExistPwnd exist");
  return true;
}
