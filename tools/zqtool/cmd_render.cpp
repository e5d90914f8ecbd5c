// zqtool render LAYOUT OUT.png [--xp] [--skin DIR] [--archive FILE] [--hold MS]
//                               [--attr CONTROL NAME VALUE]...
// Builds LAYOUT in a real window on the current display and writes what the
// window paints (the shadow of a layered window included) to OUT.png.
// Skin files come from the embedded archive, the "downloader_skin" folder,
// --skin DIR (a folder) or --archive FILE (a 7z archive). --xp forces OS
// major version 5: the "_xp" variant of LAYOUT when the skin has one, and no
// layered features. --hold keeps the window on screen MS milliseconds after
// writing (for screenshots). --attr applies an attribute to a named control
// before painting (previews of other states: "maintab selectedid 2"). Exit codes: 0 written, 1 failure, 2 usage.
#include <windows.h>

#include <string>
#include <vector>

#include "duilib/duilib.h"
#include "tools/zqtool/command.h"
#include "ui/skin/skin.h"

namespace {

class RenderWnd : public DuiLib::WindowImplBase {
 public:
  explicit RenderWnd(std::wstring layout) : layout_(std::move(layout)) {}
  std::wstring GetSkinFile() override { return layout_; }

 protected:
  const wchar_t* GetWindowClassName() const override { return L"ZqToolRenderWnd"; }

 private:
  std::wstring layout_;
};

void StoreFile(void*, const wchar_t* path, const unsigned char* bytes, int size) {
  addSkinFile(path, bytes, static_cast<size_t>(size));
}

// Runs the message loop for ms milliseconds.
void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!DuiLib::CPaintManagerUI::TranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::wstring XpVariant(const std::wstring& layout) {
  size_t dot = layout.rfind(L".xml");
  if (dot == std::wstring::npos || layout.find(L"_xp.xml") != std::wstring::npos) return layout;
  std::wstring xp = layout.substr(0, dot) + L"_xp.xml";
  return readSkinFile(xp).empty() ? layout : xp;
}

int RunRender(const std::vector<std::wstring>& args) {
  std::wstring layout, out, skin, archive;
  std::vector<std::vector<std::wstring>> attrs;
  bool xp = false;
  DWORD hold = 0;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--xp") xp = true;
    else if (args[i] == L"--skin" && i + 1 < args.size()) skin = args[++i];
    else if (args[i] == L"--archive" && i + 1 < args.size()) archive = args[++i];
    else if (args[i] == L"--hold" && i + 1 < args.size()) hold = static_cast<DWORD>(_wtoi(args[++i].c_str()));
    else if (args[i] == L"--attr" && i + 3 < args.size()) {
      attrs.push_back({args[i + 1], args[i + 2], args[i + 3]});
      i += 3;
    } else if (layout.empty()) layout = args[i];
    else if (out.empty()) out = args[i];
    else return 2;
  }
  if (layout.empty() || out.empty()) {
    zqPrintLine(L"usage: zqtool render LAYOUT OUT.png [--xp] [--skin DIR] [--archive FILE] [--hold MS] "
                L"[--attr CONTROL NAME VALUE]");
    return 2;
  }
  duilibInit2(GetModuleHandleW(nullptr));
  if (!skin.empty()) setSkinFolder(skin);
  if (!archive.empty()) {
    int rc = extractArchiveFromFile(archive, &StoreFile, nullptr);
    if (rc != 0) zqPrintLine(L"archive result " + std::to_wstring(rc));
    loadLanguageFile(L"multi_language.txt");
  }
  if (xp) {
    setSkinOsMajorVersion(5);
    layout = XpVariant(layout);
  }
  if (readSkinFile(layout).empty()) {
    zqPrintLine(L"layout not found: " + layout);
    return 1;
  }
  DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (skinOsMajorVersion() < 6) style |= WS_SYSMENU | WS_THICKFRAME;
  RenderWnd wnd(layout);
  if (!wnd.Create(nullptr, layout.c_str(), style, 0)) {
    zqPrintLine(L"window creation failed");
    return 1;
  }
  for (const auto& a : attrs) {
    if (DuiLib::CControlUI* c = wnd.FindControl(a[0])) c->SetAttribute(a[1].c_str(), a[2].c_str());
    else zqPrintLine(L"no control " + a[0]);
  }
  wnd.CenterWindow();
  wnd.ShowWindow(true, true);
  Pump(600);
  std::vector<DWORD> pixels;
  int w = 0, h = 0;
  bool ok = wnd.GetPaintManager().RenderSnapshot(pixels, w, h) && DuiLib::SavePixelsAsPng(pixels.data(), w, h, out);
  if (ok) zqPrintLine(out + L" " + std::to_wstring(w) + L"x" + std::to_wstring(h) + L" " + layout);
  else zqPrintLine(L"rendering failed");
  if (hold) Pump(hold);
  DestroyWindow(wnd.GetHWND());
  Pump(50);
  return ok ? 0 : 1;
}

ZqCommand command(L"render", L"render LAYOUT OUT.png [--xp] [--skin DIR] [--archive FILE] [--hold MS] [--attr CONTROL NAME VALUE]",
                   &RunRender);

}  // namespace
