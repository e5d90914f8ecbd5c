// CRichEditUI: hosts the system's RichEdit control (msftedit.dll, loaded by
// its full path in the system folder) as a native child over the control's
// rectangle: multiline, vertical scroll bar, automatic vertical scrolling,
// rich-text mode, read-only, background colour and text padding as given by
// the layout. The native window exists while the control is in a window's
// tree and is shown only while the control is visible. With a vertical
// scroll bar, the bar is a skinned CScrollBarUI (the layout's "VScrollBar"
// defaults) at the right edge; the native bar is cut off by a window region.
#pragma once

#include <memory>

#include "duilib/native_host.h"
#include "duilib/scrollbar.h"

namespace DuiLib {

// Loads msftedit.dll from the system folder once; false when it cannot.
bool LoadRichEditLibrary();

class CRichEditUI : public CNativeHostUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  std::wstring GetText() const override;
  void SetText(const std::wstring& text) override;
  void SetMultiLine(bool multiline);
  void SetVScrollBar(bool show);
  void SetAutoVScroll(bool autoScroll);
  void SetRich(bool rich);
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const { return readOnly_; }

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void OnNativeDestroyed() override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;
  CControlUI* FindControlAt(POINT pt) override;
  void DoPaint(HDC hdc, const RECT& rcPaint) override;
  // The skinned vertical bar, or nullptr without vscrollbar.
  CScrollBarUI* GetVerticalScrollBar() const { return vbar_.get(); }

 private:
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void CreateNative();
  void DestroyNative();
  void PlaceNative() override;

  std::unique_ptr<CScrollBarUI> vbar_;
  DWORD editBkColor_ = 0xFFFFFFFF;
  bool multiline_ = true, vscroll_ = false, autoVScroll_ = false, rich_ = true, readOnly_ = false;
};

}  // namespace DuiLib
