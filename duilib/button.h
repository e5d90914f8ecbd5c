// CButtonUI: a label with state images and colours (normal, hot, pushed,
// focused, disabled). A press and release inside it raises "click".
#pragma once

#include "duilib/label.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  // Image strings (see attr_parse.h) of each state.
  void SetNormalImage(const std::wstring& image);
  void SetHotImage(const std::wstring& image);
  void SetPushedImage(const std::wstring& image);
  void SetFocusedImage(const std::wstring& image);
  void SetDisabledImage(const std::wstring& image);
  const std::wstring& GetNormalImage() const { return normalImage_; }
  const std::wstring& GetHotImage() const { return hotImage_; }
  const std::wstring& GetPushedImage() const { return pushedImage_; }
  void SetHotTextColor(DWORD argb);
  void SetPushedTextColor(DWORD argb);
  unsigned GetButtonState() const { return state_; }  // UISTATE_* bits

  bool TakesMouse() const override { return true; }
  void SetEnabled(bool enable = true) override;
  // Raises "click"; false when disabled or not in a tree.
  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 protected:
  DWORD CurrentTextColor() const override;

  unsigned state_ = 0;
  std::wstring normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_;
  DWORD hotTextColor_ = 0, pushedTextColor_ = 0;
  bool hasHotTextColor_ = false, hasPushedTextColor_ = false;
};

}  // namespace DuiLib
