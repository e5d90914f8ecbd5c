// Child process of the window tests.
//   duilib_probe missing : opens a window whose layout does not exist (the
//                          fatal box follows, then exit code 1).
//   duilib_probe broken  : the same with a layout that does not parse.
//   duilib_probe osver   : opens the main layout as the main window chooses it
//                          and exits with (OS major << 4) | 1 layered | 2 region
//                          | 4 "_xp" layout; 3 when the skin is not embedded.
#include <windows.h>

#include <string>

#include "tests/duilib/test_support.h"
#include "ui/skin/skin.h"

int wmain(int argc, wchar_t** argv) {
  duilibInit2(GetModuleHandleW(nullptr));
  std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"missing" || mode == L"broken") {
    duitest::AddText(L"test/broken.xml", "<?xml version=\"1.0\"?><Window><VerticalLayout></Window>");
    auto* w = new duitest::TestWindow(mode == L"missing" ? L"no/such/layout.xml" : L"test/broken.xml");
    w->Create(nullptr, L"probe", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
    return 0;  // not reached: the layout cannot be loaded
  }
  if (mode == L"osver") {
    const bool xp = skinOsMajorVersion() < 6;
    const std::wstring layout = xp ? L"mainframe_xp.xml" : L"mainframe.xml";
    if (readSkinFile(layout).empty()) return 3;
    duitest::TestWindow w(layout);
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (xp ? WS_SYSMENU | WS_THICKFRAME : 0);
    if (!w.Create(nullptr, L"probe", style, 0)) return 2;
    w.ShowWindow(true, false);
    duitest::Pump(100);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    bool region = GetWindowRgn(w.GetHWND(), rgn) != ERROR;
    DeleteObject(rgn);
    int code = static_cast<int>(skinOsMajorVersion() << 4) | (w.GetPaintManager().IsLayered() ? 1 : 0) |
               (region ? 2 : 0) | (xp ? 4 : 0);
    DestroyWindow(w.GetHWND());
    return code;
  }
  return 2;
}
