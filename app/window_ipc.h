// The hidden IPC window: a top-level window whose class name other
// processes look up (FindWindowW), forwarding user-range messages to a
// handler on the thread that created it.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class IWindowIPCHandle {
 public:
  // Receives every message strictly above WM_USER (0x0400) and WM_COPYDATA
  // sent or posted to the IPC window. The window answers 0 whatever this
  // returns.
  virtual LRESULT onHandleWindowIPC(UINT msg, WPARAM wparam, LPARAM lparam) = 0;

 protected:
  ~IWindowIPCHandle() = default;
};

}  // namespace utility

class CWindowIPC {
 public:
  CWindowIPC() = default;
  // Destroys the window if it exists (call on the creating thread), so no
  // message reaches a gone object.
  ~CWindowIPC();
  CWindowIPC(const CWindowIPC&) = delete;
  CWindowIPC& operator=(const CWindowIPC&) = delete;

  // Registers `className` (an earlier registration is fine) and creates the
  // hidden WS_POPUP window. True when the window exists; only then is
  // `handler` set. The handler is not owned and must outlive the window.
  bool create(const std::wstring& className, utility::IWindowIPCHandle* handler);

  HWND hwnd = nullptr;                             // set during creation
  utility::IWindowIPCHandle* handler = nullptr;    // set after creation
};
