// The peer of the installer's start-up benchmark: a bare Win32 window of the
// installer's size, shown and painted in one solid colour, started the same
// way (a static GUI program under the same wine server). It ends by itself
// after a few seconds, or at once on any key or click.
#include <windows.h>

namespace {

constexpr wchar_t kTitle[] = L"zq bare window";
constexpr UINT_PTR kQuitTimer = 1;
constexpr UINT kLifetimeMs = 8000;

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HBRUSH brush = CreateSolidBrush(RGB(0xE2, 0x90, 0x22));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"ZqBareWindow";
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);
  int x = (GetSystemMetrics(SM_CXSCREEN) - 610) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - 480) / 2;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, kTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                              x, y, 610, 480, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  SetTimer(hwnd, kQuitTimer, kLifetimeMs, nullptr);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
