#include "duilib/window_wnd.h"

#include "duilib/paint_manager.h"

namespace DuiLib {

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = GetClassStyle();
  wc.lpfnWndProc = &CWindowWnd::WndProc;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = GetWindowClassName();
  if (RegisterClassExW(&wc)) return true;
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND owner, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy) {
  if (hWnd_) return hWnd_;
  if (!RegisterWindowClass()) return nullptr;
  HWND hwnd = CreateWindowExW(exStyle, GetWindowClassName(), name ? name : L"", style, x, y, cx, cy, owner, nullptr,
                              CPaintManagerUI::GetInstance(), this);
  return hwnd;
}

void CWindowWnd::CenterWindow() {
  if (!hWnd_) return;
  RECT wr;
  GetWindowRect(hWnd_, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  HWND owner = GetWindow(hWnd_, GW_OWNER);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  HMONITOR monitor = MonitorFromWindow(owner ? owner : hWnd_, MONITOR_DEFAULTTOPRIMARY);
  GetMonitorInfoW(monitor, &mi);
  RECT area = mi.rcWork;
  RECT center = area;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &center);
  int x = (center.left + center.right - w) / 2;
  int y = (center.top + center.bottom - h) / 2;
  if (x + w > area.right) x = area.right - w;
  if (y + h > area.bottom) y = area.bottom - h;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(hWnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!hWnd_) return;
  ::ShowWindow(hWnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::Close(UINT result) {
  if (hWnd_ && IsWindow(hWnd_)) ::PostMessageW(hWnd_, WM_CLOSE, result, 0);
}

void CWindowWnd::SetIcon(UINT resourceId) {
  if (!hWnd_) return;
  HINSTANCE inst = CPaintManagerUI::GetInstance();
  HICON big = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  HICON small = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (big) ::SendMessageW(hWnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (small) ::SendMessageW(hWnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(hWnd_, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(hWnd_, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hWnd_, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (uMsg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(cs->lpCreateParams);
    self->hWnd_ = hWnd;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) {
    LRESULT r = self->HandleMessage(uMsg, wParam, lParam);
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    self->hWnd_ = nullptr;
    self->OnFinalMessage(hWnd);  // may delete self
    return r;
  }
  return self->HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
