// CNativeHostUI: the shared part of the controls that host a native child
// window over their rectangle (CEditUI, CRichEditUI). The child follows the
// control's position, visibility and enabled state; while it exists it draws
// the text instead of the control; its focus notifications move the paint
// manager's focus. UI thread only.
#pragma once

#include "duilib/label.h"

namespace DuiLib {

class CNativeHostUI : public CLabelUI {
 public:
  bool TakesMouse() const override { return true; }
  HWND GetNativeWindow() const override { return hwnd_; }
  void SetPos(RECT rc) override;  // then PlaceNative()
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void PaintText(HDC hdc) override;  // the control's text only without the child
  // EN_SETFOCUS focuses this control in the manager, EN_KILLFOCUS clears it.
  void OnNativeCommand(UINT code) override;
  void OnNativeDestroyed() override;  // forgets hwnd_

 protected:
  // Moves and sizes the child (when it exists) for rcItem_, shown only while
  // the control is visible.
  virtual void PlaceNative() = 0;

  HWND hwnd_ = nullptr;  // the child; created and destroyed by the subclass

 private:
  void ShowNative();
};

}  // namespace DuiLib
