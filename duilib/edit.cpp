#include "duilib/edit.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"
#include "duilib/render.h"

namespace DuiLib {

namespace {
constexpr UINT_PTR kSubclassId = 0x4455;  // our subclass of the native EDIT
}

CEditUI::CEditUI() { textStyle_ = DT_LEFT | DT_VCENTER | DT_SINGLELINE; }

CEditUI::~CEditUI() {
  DestroyNative();
  if (nativeBrush_) DeleteObject(nativeBrush_);
  if (caretBitmap_) DeleteObject(caretBitmap_);
}

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

void* CEditUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Edit") == 0) return this;
  return CNativeHostUI::GetInterface(name);
}

std::wstring CEditUI::GetText() const {
  if (!hwnd_) return text_;
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, &s[0], n + 1);
  s.resize(n > 0 ? n : 0);
  return s;
}

void CEditUI::SetText(const std::wstring& text) {
  text_ = text;
  if (hwnd_ && GetText() != text) SetWindowTextW(hwnd_, text.c_str());
  Invalidate();
}

void CEditUI::SetNormalImage(const std::wstring& image) { normalImage_ = image; Invalidate(); }
void CEditUI::SetHotImage(const std::wstring& image) { hotImage_ = image; Invalidate(); }
void CEditUI::SetFocusedImage(const std::wstring& image) { focusedImage_ = image; Invalidate(); }
void CEditUI::SetDisabledImage(const std::wstring& image) { disabledImage_ = image; Invalidate(); }

void CEditUI::SetNativeBkColor(DWORD argb) {
  nativeBkColor_ = argb;
  if (nativeBrush_) DeleteObject(nativeBrush_);
  nativeBrush_ = nullptr;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CEditUI::SetCaretColor(DWORD argb) {
  caretColor_ = argb;
  hasCaretColor_ = true;
  if (hwnd_ && GetFocus() == hwnd_) ApplyCaret();
}

void CEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (hwnd_) ::SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0);
}

void CEditUI::SetPasswordMode(bool password) {
  password_ = password;
  if (hwnd_) {
    ::SendMessageW(hwnd_, EM_SETPASSWORDCHAR, password ? L'*' : 0, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

void CEditUI::SetMaxChar(int maxChar) {
  maxChar_ = maxChar;
  if (hwnd_) ::SendMessageW(hwnd_, EM_LIMITTEXT, maxChar_, 0);
}

void CEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  if (manager != manager_) DestroyNative();
  CNativeHostUI::SetManager(manager, parent);
  if (manager_ && manager_->GetPaintWindow() && !hwnd_) CreateNative();
}

void CEditUI::CreateNative() {
  HWND parent = manager_->GetPaintWindow();
  DWORD style = WS_CHILD | ES_AUTOHSCROLL | ES_LEFT;
  if (password_) style |= ES_PASSWORD;
  if (readOnly_) style |= ES_READONLY;
  if (!IsEnabled()) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(0, L"EDIT", text_.c_str(), style, 0, 0, 0, 0, parent, nullptr,
                          CPaintManagerUI::GetInstance(), nullptr);
  if (!hwnd_) return;
  manager_->RegisterNativeWindow(hwnd_, this);
  SetWindowSubclass(hwnd_, &CEditUI::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(manager_->GetFont(font_)), FALSE);
  ::SendMessageW(hwnd_, EM_LIMITTEXT, maxChar_, 0);
  ::SendMessageW(hwnd_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  PlaceNative();
}

void CEditUI::DestroyNative() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  text_ = GetText();
  hwnd_ = nullptr;
  if (manager_) manager_->UnregisterNativeWindow(h);
  if (IsWindow(h)) {
    RemoveWindowSubclass(h, &CEditUI::SubclassProc, kSubclassId);
    DestroyWindow(h);
  }
}

void CEditUI::PlaceNative() {
  if (!hwnd_ || !manager_) return;
  RECT rc{rcItem_.left + rcTextPadding_.left, rcItem_.top + rcTextPadding_.top, rcItem_.right - rcTextPadding_.right,
          rcItem_.bottom - rcTextPadding_.bottom};
  // A single-line EDIT draws at its top: centre a box of one line height.
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, manager_->GetFont(font_));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  int lineH = tm.tmHeight + 2;
  if (lineH < RectHeight(rc)) {
    rc.top += (RectHeight(rc) - lineH) / 2;
    rc.bottom = rc.top + lineH;
  }
  bool show = IsVisible() && !RectEmpty(rc);
  SetWindowPos(hwnd_, nullptr, rc.left, rc.top, std::max<LONG>(0, RectWidth(rc)), std::max<LONG>(0, RectHeight(rc)),
               SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CEditUI::SetFocusedState(bool focused) {
  CNativeHostUI::SetFocusedState(focused);
  if (!hwnd_) return;
  if (focused && GetFocus() != hwnd_) ::SetFocus(hwnd_);
  if (!focused && GetFocus() == hwnd_ && manager_) ::SetFocus(manager_->GetPaintWindow());
}

void CEditUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_MOUSEENTER) {
    hot_ = true;
    Invalidate();
  } else if (event.Type == UIEVENT_MOUSELEAVE) {
    // Moving onto the native child is still inside the control.
    POINT pt;
    GetCursorPos(&pt);
    if (manager_) ScreenToClient(manager_->GetPaintWindow(), &pt);
    if (!PtInRect(&rcItem_, pt)) {
      hot_ = false;
      Invalidate();
    }
  }
}

void CEditUI::PaintStatusImage(HDC hdc) {
  if (!IsEnabled() && DrawImage(hdc, disabledImage_)) return;
  if (IsEnabled() && focused_ && DrawImage(hdc, focusedImage_)) return;
  if (IsEnabled() && hot_ && DrawImage(hdc, hotImage_)) return;
  DrawImage(hdc, normalImage_);
}

void CEditUI::OnNativeCommand(UINT code) {
  CNativeHostUI::OnNativeCommand(code);
  if (code == EN_CHANGE && manager_) {
    text_ = GetText();
    manager_->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
  }
}

HBRUSH CEditUI::OnNativeCtlColor(HDC hdc) {
  if (!nativeBrush_) nativeBrush_ = CreateSolidBrush(ArgbToColorRef(nativeBkColor_));
  ::SetTextColor(hdc, ArgbToColorRef(CurrentTextColor()));
  ::SetBkColor(hdc, ArgbToColorRef(nativeBkColor_));
  return nativeBrush_;
}

void CEditUI::ApplyCaret() {
  if (!hwnd_ || !hasCaretColor_ || !manager_) return;
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, manager_->GetFont(font_));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  const int w = 1, h = std::max<int>(1, tm.tmHeight);
  if (caretBitmap_) DeleteObject(caretBitmap_);
  caretBitmap_ = CreateCompatibleBitmap(dc, w, h);
  ReleaseDC(hwnd_, dc);
  if (!caretBitmap_) return;
  // The caret is XORed onto the background: caret ^ background shows the caret colour.
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBmp = SelectObject(mem, caretBitmap_);
  COLORREF x = ArgbToColorRef(caretColor_) ^ ArgbToColorRef(nativeBkColor_);
  HBRUSH brush = CreateSolidBrush(x);
  RECT r{0, 0, w, h};
  FillRect(mem, &r, brush);
  DeleteObject(brush);
  SelectObject(mem, oldBmp);
  DeleteDC(mem);
  CreateCaret(hwnd_, caretBitmap_, w, h);
  ShowCaret(hwnd_);
}

LRESULT CALLBACK CEditUI::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  auto* self = reinterpret_cast<CEditUI*>(data);
  switch (msg) {
    case WM_SETFOCUS: {
      LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
      self->ApplyCaret();
      return r;
    }
    case WM_MOUSEMOVE: {
      if (!self->hot_) {
        self->hot_ = true;
        self->Invalidate();
      }
      TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
      TrackMouseEvent(&tme);
      break;
    }
    case WM_MOUSELEAVE: {
      POINT pt;
      GetCursorPos(&pt);
      if (self->manager_) ScreenToClient(self->manager_->GetPaintWindow(), &pt);
      if (!PtInRect(&self->rcItem_, pt)) {
        self->hot_ = false;
        self->Invalidate();
      }
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &CEditUI::SubclassProc, kSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"normalimage") == 0) SetNormalImage(v);
  else if (wcscmp(name, L"hotimage") == 0) SetHotImage(v);
  else if (wcscmp(name, L"focusedimage") == 0) SetFocusedImage(v);
  else if (wcscmp(name, L"disabledimage") == 0) SetDisabledImage(v);
  else if (wcscmp(name, L"nativebkcolor") == 0) SetNativeBkColor(ParseColor(v));
  else if (wcscmp(name, L"caretcolor") == 0) SetCaretColor(ParseColor(v));
  else if (wcscmp(name, L"readonly") == 0) SetReadOnly(ParseBool(v));
  else if (wcscmp(name, L"password") == 0) SetPasswordMode(ParseBool(v));
  else if (wcscmp(name, L"maxchar") == 0) SetMaxChar(ParseInt(v));
  else CNativeHostUI::SetAttribute(name, value);
}

}  // namespace DuiLib
