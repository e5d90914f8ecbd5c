#include "duilib/richedit.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

namespace {
constexpr UINT_PTR kSubclassId = 0x4456;  // our subclass of the native rich edit
}

bool LoadRichEditLibrary() {
  static HMODULE module = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    wchar_t dir[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      // Full path only: a bare name could be taken from the current folder.
      std::wstring path = std::wstring(dir, n) + L"\\msftedit.dll";
      module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
  }
  return module != nullptr;
}

CRichEditUI::CRichEditUI() { textStyle_ = DT_LEFT | DT_TOP | DT_WORDBREAK; }

CRichEditUI::~CRichEditUI() {
  DestroyNative();
  vbar_.reset();
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }

void* CRichEditUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"RichEdit") == 0) return this;
  return CNativeHostUI::GetInterface(name);
}

std::wstring CRichEditUI::GetText() const {
  if (!hwnd_) return text_;
  GETTEXTLENGTHEX len{GTL_DEFAULT | GTL_NUMCHARS, 1200};
  LRESULT n = ::SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  if (n <= 0) return L"";
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>((n + 1) * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = 1200;
  LRESULT got = ::SendMessageW(hwnd_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&s[0]));
  s.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return s;
}

void CRichEditUI::SetText(const std::wstring& text) {
  text_ = text;
  if (hwnd_) {
    SETTEXTEX set{ST_DEFAULT, 1200};
    ::SendMessageW(hwnd_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(hwnd_, EM_SETSEL, 0, 0);
    ::SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
  }
  Invalidate();
}

void CRichEditUI::SetMultiLine(bool v) { multiline_ = v; }
void CRichEditUI::SetVScrollBar(bool v) { vscroll_ = v; }
void CRichEditUI::SetAutoVScroll(bool v) { autoVScroll_ = v; }
void CRichEditUI::SetRich(bool v) { rich_ = v; }

void CRichEditUI::SetReadOnly(bool v) {
  readOnly_ = v;
  if (hwnd_) ::SendMessageW(hwnd_, EM_SETREADONLY, v, 0);
}

void CRichEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  if (manager != manager_) DestroyNative();
  CNativeHostUI::SetManager(manager, parent);
  if (vscroll_ && manager_ && !vbar_) {
    vbar_ = std::make_unique<CScrollBarUI>();
    if (const std::wstring* defaults = manager_->GetDefaultAttributeList(L"VScrollBar")) {
      vbar_->ApplyAttributeList(*defaults);
    }
  }
  if (vbar_) vbar_->SetManager(manager_, this);
  if (manager_ && manager_->GetPaintWindow() && !hwnd_) CreateNative();
}

CControlUI* CRichEditUI::FindControlAt(POINT pt) {
  if (vbar_ && IsVisible() && PtInRect(&vbar_->GetPos(), pt)) return vbar_.get();
  return CNativeHostUI::FindControlAt(pt);
}

void CRichEditUI::DoPaint(HDC hdc, const RECT& rcPaint) {
  CNativeHostUI::DoPaint(hdc, rcPaint);
  RECT tmp;
  if (vbar_ && IntersectRect(&tmp, &rcPaint, &vbar_->GetPos())) vbar_->DoPaint(hdc, rcPaint);
}

LRESULT CALLBACK CRichEditUI::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &CRichEditUI::SubclassProc, kSubclassId);
    return r;
  }
  // Wheel, keys, text changes and selection drags all may scroll.
  auto* self = reinterpret_cast<CRichEditUI*>(data);
  if (self->vbar_ && msg != WM_PAINT && msg != WM_NCHITTEST && msg != WM_SETCURSOR) self->vbar_->SyncWithTarget();
  return r;
}

void CRichEditUI::CreateNative() {
  if (!LoadRichEditLibrary()) return;
  // Style bits are fixed at creation: the layout's attributes are applied by now.
  DWORD style = WS_CHILD | ES_NOHIDESEL;
  if (multiline_) style |= ES_MULTILINE | ES_WANTRETURN;
  if (vscroll_) style |= WS_VSCROLL | ES_DISABLENOSCROLL;
  if (autoVScroll_) style |= ES_AUTOVSCROLL;
  if (readOnly_) style |= ES_READONLY;
  if (!IsEnabled()) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, 0, 0, 0, 0, manager_->GetPaintWindow(), nullptr,
                          CPaintManagerUI::GetInstance(), nullptr);
  if (!hwnd_) return;
  manager_->RegisterNativeWindow(hwnd_, this);
  SetWindowSubclass(hwnd_, &CRichEditUI::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (vbar_) vbar_->SetTarget(hwnd_);
  ::SendMessageW(hwnd_, EM_SETTEXTMODE, rich_ ? TM_RICHTEXT : TM_PLAINTEXT, 0);
  ::SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 16 << 20);
  ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(manager_->GetFont(font_)), FALSE);
  ::SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, ArgbToColorRef(editBkColor_));
  if (hasTextColor_) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = ArgbToColorRef(textColor_);
    ::SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
  }
  if (!text_.empty()) SetText(text_);
  PlaceNative();
}

void CRichEditUI::DestroyNative() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  text_ = GetText();
  hwnd_ = nullptr;
  if (vbar_) vbar_->SetTarget(nullptr);
  if (manager_) manager_->UnregisterNativeWindow(h);
  if (IsWindow(h)) {
    RemoveWindowSubclass(h, &CRichEditUI::SubclassProc, kSubclassId);
    DestroyWindow(h);
  }
}

void CRichEditUI::OnNativeDestroyed() {
  CNativeHostUI::OnNativeDestroyed();
  if (vbar_) vbar_->SetTarget(nullptr);
}

void CRichEditUI::PlaceNative() {
  RECT text = rcItem_;
  if (vbar_) {
    const int barWidth = std::min<int>(vbar_->GetFixedWidth() > 0 ? vbar_->GetFixedWidth() : 8, RectWidth(rcItem_));
    text.right -= barWidth;
    vbar_->SetPos(RECT{text.right, rcItem_.top, rcItem_.right, rcItem_.bottom});
  }
  if (!hwnd_) return;
  bool show = IsVisible() && !RectEmpty(text);
  int width = RectWidth(text);
  if (vbar_) {
    // The native bar lies beyond the text part and is cut off by the region;
    // the skinned bar is drawn there instead.
    width += GetSystemMetrics(SM_CXVSCROLL);
    SetWindowRgn(hwnd_, CreateRectRgn(0, 0, RectWidth(text), RectHeight(text)), TRUE);
  }
  SetWindowPos(hwnd_, nullptr, text.left, text.top, width, RectHeight(text),
               SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  // Text padding: the formatting rectangle inside the client area.
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT fmt{client.left + rcTextPadding_.left, client.top + rcTextPadding_.top, client.right - rcTextPadding_.right,
           client.bottom - rcTextPadding_.bottom};
  if (!RectEmpty(fmt)) ::SendMessageW(hwnd_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&fmt));
}

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"multiline") == 0) SetMultiLine(ParseBool(v));
  else if (wcscmp(name, L"vscrollbar") == 0) SetVScrollBar(ParseBool(v));
  else if (wcscmp(name, L"autovscroll") == 0) SetAutoVScroll(ParseBool(v));
  else if (wcscmp(name, L"rich") == 0) SetRich(ParseBool(v));
  else if (wcscmp(name, L"readonly") == 0) SetReadOnly(ParseBool(v));
  else if (wcscmp(name, L"bkcolor") == 0) {
    // The native window paints the background in this colour.
    editBkColor_ = ParseColor(v);
    CNativeHostUI::SetAttribute(name, value);
    if (hwnd_) ::SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, ArgbToColorRef(editBkColor_));
  } else {
    CNativeHostUI::SetAttribute(name, value);
  }
}

}  // namespace DuiLib
