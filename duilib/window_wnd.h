// CWindowWnd: a native top-level window bound to a C++ object. The class is
// registered on first Create with GetWindowClassName/GetClassStyle; messages
// go to HandleMessage; after the native window is destroyed (WM_NCDESTROY)
// the object is unbound and OnFinalMessage runs (windows that delete
// themselves do it there). UI thread only.
#pragma once

#include <windows.h>

namespace DuiLib {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  // The native window, or nullptr before Create / after destruction.
  HWND GetHWND() const { return hWnd_; }
  operator HWND() const { return hWnd_; }

  // Creates the native window: owner (or nullptr), window name (or nullptr),
  // style, extended style, position and size (0: the layout's size applies).
  // Returns the handle, nullptr on failure (GetLastError kept).
  HWND Create(HWND owner, const wchar_t* name, DWORD style, DWORD exStyle, int x = 0, int y = 0,
              int cx = 0, int cy = 0);
  // Centres the window over its owner's monitor work area (the primary one
  // without an owner), kept on screen.
  void CenterWindow();
  // Shows (normal state; activated when takeFocus) or hides the window.
  void ShowWindow(bool show = true, bool takeFocus = true);
  // Asynchronous close: posts WM_CLOSE with wParam = result when the window exists.
  void Close(UINT result = IDOK);
  // Big and small icons from the icon resource id of CPaintManagerUI::GetInstance().
  void SetIcon(UINT resourceId);
  LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual const wchar_t* GetWindowClassName() const = 0;
  virtual UINT GetClassStyle() const { return 0; }
  // After the native window is gone; the object may delete itself here.
  virtual void OnFinalMessage(HWND hWnd);
  // Default: DefWindowProc.
  virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

  bool RegisterWindowClass();
  static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  HWND hWnd_ = nullptr;
};

}  // namespace DuiLib
