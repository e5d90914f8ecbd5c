// CEditUI: a single-line text field. The control draws its state images
// (normal, hot, focused, disabled) and hosts a native EDIT child window over
// its text area (less textpadding), in nativebkcolor with the text colour and
// a caret of caretcolor. The native window exists while the control is in a
// window's tree and is shown only while the control is visible. Focus moves
// with the native window: it raises "setfocus"/"killfocus"; typing raises
// "textchanged".
#pragma once

#include "duilib/native_host.h"

namespace DuiLib {

class CEditUI : public CNativeHostUI {
 public:
  CEditUI();
  ~CEditUI() override;
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  // The text: the native window's when it exists.
  std::wstring GetText() const override;
  void SetText(const std::wstring& text) override;
  void SetNormalImage(const std::wstring& image);
  void SetHotImage(const std::wstring& image);
  void SetFocusedImage(const std::wstring& image);
  void SetDisabledImage(const std::wstring& image);
  void SetNativeBkColor(DWORD argb);
  void SetCaretColor(DWORD argb);
  void SetReadOnly(bool readOnly);
  void SetPasswordMode(bool password);
  void SetMaxChar(int maxChar);

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void SetFocusedState(bool focused) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(HDC hdc) override;
  void OnNativeCommand(UINT code) override;  // and "textchanged" on EN_CHANGE
  HBRUSH OnNativeCtlColor(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  void CreateNative();
  void DestroyNative();
  void PlaceNative() override;
  void ApplyCaret();
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  HBRUSH nativeBrush_ = nullptr;  // owned
  bool hot_ = false;
  std::wstring normalImage_, hotImage_, focusedImage_, disabledImage_;
  DWORD nativeBkColor_ = 0xFFFFFFFF;
  DWORD caretColor_ = 0;
  bool hasCaretColor_ = false;
  HBITMAP caretBitmap_ = nullptr;  // owned
  bool readOnly_ = false;
  bool password_ = false;
  int maxChar_ = 255;
};

}  // namespace DuiLib
