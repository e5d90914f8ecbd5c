// COptionUI: a button with a selected state (check box). A click toggles the
// state, raising "click" and then "selectchanged".
#pragma once

#include "duilib/button.h"

namespace DuiLib {

class COptionUI : public CButtonUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  bool IsSelected() const { return selected_; }
  // Changes the state; raises "selectchanged" when it changed and notify is set.
  void Selected(bool selected, bool notify = true);
  void SetSelectedImage(const std::wstring& image);
  void SetSelectedHotImage(const std::wstring& image);
  void SetSelectedTextColor(DWORD argb);

  bool Activate() override;
  void PaintStatusImage(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 protected:
  DWORD CurrentTextColor() const override;

  bool selected_ = false;
  std::wstring selectedImage_, selectedHotImage_;
  DWORD selectedTextColor_ = 0;
  bool hasSelectedTextColor_ = false;
};

}  // namespace DuiLib
