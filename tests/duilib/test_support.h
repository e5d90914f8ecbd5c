// Helpers of the UI library tests: a window over a layout that records its
// notifications, a message pump, real mouse/keyboard messages, pixel reads.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "duilib/duilib.h"

namespace duitest {

// Window over one layout; records (type, sender name) of every notification.
class TestWindow : public DuiLib::WindowImplBase {
 public:
  explicit TestWindow(std::wstring layout) : layout_(std::move(layout)) {}
  std::wstring GetSkinFile() override { return layout_; }
  void Notify(DuiLib::TNotifyUI& msg) override {
    notes.emplace_back(msg.sType, msg.pSender ? msg.pSender->GetName() : L"");
    WindowImplBase::Notify(msg);
  }
  void OnFinalMessage(HWND hWnd) override {
    WindowImplBase::OnFinalMessage(hWnd);
    destroyed = true;
  }
  bool Has(const std::wstring& type, const std::wstring& sender) const {
    for (const auto& n : notes) {
      if (n.first == type && n.second == sender) return true;
    }
    return false;
  }

  std::vector<std::pair<std::wstring, std::wstring>> notes;
  bool destroyed = false;

 protected:
  const wchar_t* GetWindowClassName() const override { return L"DuiTestWindow"; }

 private:
  std::wstring layout_;
};

// Runs the message loop (with the library's pre-translation) for ms milliseconds.
inline void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!DuiLib::CPaintManagerUI::TranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

// Creates, centres and shows w as a popup; pumps until painted.
inline bool Open(TestWindow& w, HWND owner = nullptr) {
  if (!w.Create(owner, L"duitest", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0)) return false;
  w.CenterWindow();
  w.ShowWindow(true, true);
  UpdateWindow(w.GetHWND());
  Pump(150);
  return true;
}

inline POINT Center(DuiLib::CControlUI* c) {
  const RECT& r = c->GetPos();
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A left click at client point pt, as posted mouse messages.
inline void Click(HWND hwnd, POINT pt) {
  LPARAM lp = MAKELPARAM(pt.x, pt.y);
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, lp);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, lp);
  Pump(100);
}

// What the window shows at client point (x, y), as 0xRRGGBB.
inline DWORD ScreenPixel(HWND hwnd, int x, int y) {
  HDC dc = GetDC(hwnd);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// 0xRRGGBB of a premultiplied BGRA pixel drawn over black.
inline DWORD Rgb(DWORD bgra) { return bgra & 0x00FFFFFF; }

inline bool Near(DWORD a, DWORD b, int tolerance = 2) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

// Puts a UTF-8 text into the skin store under name.
void AddText(const wchar_t* name, const char* text);
// Puts a w x h image (0xAARRGGBB pixels, not premultiplied) into the store as a PNG.
bool AddPng(const wchar_t* name, const std::vector<DWORD>& argb, int w, int h);
// Folder of the running test executable, with a trailing backslash.
std::wstring ExeFolder();

}  // namespace duitest
