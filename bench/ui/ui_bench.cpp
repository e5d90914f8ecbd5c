// ui_bench [LAYOUT] [RUNS]: median time to create, build and first-paint a
// skinned window over LAYOUT (default "mainframe.xml", embedded skin), and
// the same for a bare window that fills its client area, in this process.
// Prints "key value" lines; exit code 1 when the layout is not in the skin.
// UI_BENCH_PHASES=1 also prints, on stderr, the time of each phase (build
// without a window, image decoding, create, show, paint).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "duilib/duilib.h"
#include "ui/skin/skin.h"

namespace {

class BenchWnd : public DuiLib::WindowImplBase {
 public:
  explicit BenchWnd(std::wstring layout) : layout_(std::move(layout)) {}
  std::wstring GetSkinFile() override { return layout_; }

 protected:
  const wchar_t* GetWindowClassName() const override { return L"UiBenchSkinned"; }

 private:
  std::wstring layout_;
};

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Create, show and paint once (UpdateWindow paints synchronously), then destroy.
double BareOnce(int w, int h) {
  double t0 = Now();
  HWND hwnd = CreateWindowExW(0, L"UiBenchBare", L"bare", WS_POPUP | WS_CLIPCHILDREN, 0, 0, w, h, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  GdiFlush();
  double t1 = Now();
  DestroyWindow(hwnd);
  Drain();
  return t1 - t0;
}

double SkinnedOnce(const std::wstring& layout, int& w, int& h) {
  double t0 = Now();
  BenchWnd wnd(layout);
  wnd.Create(nullptr, L"skinned", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
  double tc = Now();
  ::ShowWindow(wnd.GetHWND(), SW_SHOWNOACTIVATE);
  double ts = Now();
  UpdateWindow(wnd.GetHWND());
  GdiFlush();
  double t1 = Now();
  if (getenv("UI_BENCH_PHASES")) fprintf(stderr, "create %.0f show %.0f paint %.0f\n", tc - t0, ts - tc, t1 - ts);
  RECT rc;
  GetWindowRect(wnd.GetHWND(), &rc);
  w = rc.right - rc.left;
  h = rc.bottom - rc.top;
  DestroyWindow(wnd.GetHWND());
  Drain();
  return t1 - t0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring layout = argc > 1 ? argv[1] : L"mainframe.xml";
  int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 20;
  duilibInit2(GetModuleHandleW(nullptr));
  if (readSkinFile(layout).empty()) {
    fprintf(stderr, "layout not in the skin\n");
    return 1;
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"UiBenchBare";
  RegisterClassExW(&wc);

  if (getenv("UI_BENCH_PHASES")) {
    // Parse + tree without a window, and image decoding, each on its own.
    for (int i = 0; i < 3; ++i) {
      DuiLib::CPaintManagerUI pm;
      DuiLib::CDialogBuilder builder;
      double t0 = Now();
      DuiLib::CControlUI* root = builder.Create(layout, nullptr, &pm);
      double t1 = Now();
      const wchar_t* images[] = {L"bg.png", L"shadow.png", L"download_logo.png", L"btn_sure_big.png"};
      for (const wchar_t* img : images) pm.GetImage(img, 0, false);
      double t2 = Now();
      fprintf(stderr, "build %.0f decode4 %.0f\n", t1 - t0, t2 - t1);
      delete root;
    }
  }
  int w = 0, h = 0;
  SkinnedOnce(layout, w, h);  // warm-up: fonts, RichEdit library, GDI+
  BareOnce(w, h);
  std::vector<double> bare, skinned;
  for (int i = 0; i < runs; ++i) {
    bare.push_back(BareOnce(w, h));
    skinned.push_back(SkinnedOnce(layout, w, h));
  }
  printf("window %dx%d\n", w, h);
  printf("runs %d\n", runs);
  printf("bare_us %.0f\n", Median(bare));
  printf("skinned_us %.0f\n", Median(skinned));
  printf("skinned_min_us %.0f\n", *std::min_element(skinned.begin(), skinned.end()));
  printf("ratio %.2f\n", Median(skinned) / std::max(1.0, Median(bare)));
  return 0;
}
