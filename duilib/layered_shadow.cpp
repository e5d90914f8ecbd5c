#include "duilib/layered_shadow.h"

#include "duilib/paint_manager.h"

namespace DuiLib {

namespace {

const wchar_t kShadowClass[] = L"DuiLayeredShadow";

bool RegisterShadowClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kShadowClass;
  registered = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

}  // namespace

UINT CLayeredShadow::FollowMessage() {
  static const UINT message = RegisterWindowMessageW(L"DuiLayeredShadowFollow");
  return message;
}

CLayeredShadow::~CLayeredShadow() { Destroy(); }

bool CLayeredShadow::Create(HWND content) {
  Destroy();
  if (!content || !RegisterShadowClass()) return false;
  content_ = content;
  HWND owner = GetWindow(content, GW_OWNER);
  hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kShadowClass,
                          L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr, CPaintManagerUI::GetInstance(), nullptr);
  return hwnd_ != nullptr;
}

void CLayeredShadow::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  content_ = nullptr;
}

void CLayeredShadow::SetImage(const CDibSurface& image) {
  if (!image.Bits() || !pixels_.Create(image.Width(), image.Height())) return;
  memcpy(pixels_.Bits(), image.Bits(), static_cast<size_t>(image.Width()) * image.Height() * 4);
  Push();
}

void CLayeredShadow::Push() {
  if (!hwnd_ || !content_ || !pixels_.Bits()) return;
  RECT wr;
  GetWindowRect(content_, &wr);
  POINT dst{wr.left, wr.top};
  SIZE size{pixels_.Width(), pixels_.Height()};
  POINT src{0, 0};
  BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredWindow(hwnd_, nullptr, &dst, &size, pixels_.Dc(), &src, 0, &bf, ULW_ALPHA);
}

void CLayeredShadow::Follow() {
  if (!hwnd_ || !content_) return;
  if (!IsWindowVisible(content_) || IsIconic(content_)) {
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  RECT wr;
  GetWindowRect(content_, &wr);
  Push();
  // Shown first, then placed just below the content window (a hidden window
  // shown by the same call may not take the requested z-order); never activated.
  if (!IsWindowVisible(hwnd_)) {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // The content window may still be raised after this (activation while
    // it is being shown): place the shadow once more when that is done.
    PostMessageW(content_, FollowMessage(), 0, 0);
  }
  SetWindowPos(hwnd_, content_, wr.left, wr.top, pixels_.Width() ? pixels_.Width() : wr.right - wr.left,
               pixels_.Height() ? pixels_.Height() : wr.bottom - wr.top, SWP_NOACTIVATE);
}

}  // namespace DuiLib
