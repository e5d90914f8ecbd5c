// CRichEditUI: hosts the system's RichEdit control (msftedit.dll, loaded by
// its full path in the system folder) as a native child over the control's
// rectangle: multiline, vertical scroll bar, automatic vertical scrolling,
// rich-text mode, read-only, background colour and text padding as given by
// the layout. The native window exists while the control is in a window's
// tree and is shown only while the control is visible.
#pragma once

#include "duilib/label.h"

namespace DuiLib {

// Loads msftedit.dll from the system folder once; false when it cannot.
bool LoadRichEditLibrary();

class CRichEditUI : public CLabelUI {
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

  bool TakesMouse() const override { return true; }
  HWND GetNativeWindow() const override { return hwnd_; }
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void SetPos(RECT rc) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void OnNativeCommand(UINT code) override;
  void OnNativeDestroyed() override { hwnd_ = nullptr; }
  void PaintText(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  void CreateNative();
  void DestroyNative();
  void PlaceNative();

  HWND hwnd_ = nullptr;
  DWORD editBkColor_ = 0xFFFFFFFF;
  bool multiline_ = true, vscroll_ = false, autoVScroll_ = false, rich_ = true, readOnly_ = false;
};

}  // namespace DuiLib
