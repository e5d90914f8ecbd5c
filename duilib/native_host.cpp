#include "duilib/native_host.h"

#include "duilib/paint_manager.h"

namespace DuiLib {

void CNativeHostUI::SetPos(RECT rc) {
  CLabelUI::SetPos(rc);
  PlaceNative();
}

void CNativeHostUI::ShowNative() {
  if (hwnd_) ::ShowWindow(hwnd_, IsVisible() ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CNativeHostUI::SetVisible(bool visible) {
  CLabelUI::SetVisible(visible);
  ShowNative();
}

void CNativeHostUI::SetInternVisible(bool visible) {
  CLabelUI::SetInternVisible(visible);
  ShowNative();
}

void CNativeHostUI::SetEnabled(bool enable) {
  CLabelUI::SetEnabled(enable);
  if (hwnd_) EnableWindow(hwnd_, enable);
}

void CNativeHostUI::PaintText(HDC hdc) {
  if (!hwnd_) CLabelUI::PaintText(hdc);
}

void CNativeHostUI::OnNativeCommand(UINT code) {
  if (!manager_) return;
  if (code == EN_SETFOCUS) {
    if (manager_->GetFocus() != this) manager_->SetFocus(this);
  } else if (code == EN_KILLFOCUS) {
    if (manager_->GetFocus() == this) manager_->SetFocus(nullptr);
  }
}

void CNativeHostUI::OnNativeDestroyed() { hwnd_ = nullptr; }

}  // namespace DuiLib
