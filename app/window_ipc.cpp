#include "app/window_ipc.h"

namespace {

LRESULT CALLBACK ipcWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<CWindowIPC*>(create->lpCreateParams);
    if (self) self->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  if (msg > WM_USER || msg == WM_COPYDATA) {
    auto* self = reinterpret_cast<CWindowIPC*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->hwnd == hwnd && self->handler) self->handler->onHandleWindowIPC(msg, wparam, lparam);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

CWindowIPC::~CWindowIPC() {
  if (hwnd && IsWindow(hwnd)) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
}

bool CWindowIPC::create(const std::wstring& className, utility::IWindowIPCHandle* ipcHandler) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ipcWindowProc;
  wc.hInstance = module;
  wc.lpszClassName = className.c_str();
  RegisterClassExW(&wc);  // an earlier registration of the class serves as well

  HWND created = CreateWindowExW(0, className.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, this);
  if (!created || !hwnd) {
    hwnd = nullptr;
    return false;
  }
  handler = ipcHandler;
  return true;
}
