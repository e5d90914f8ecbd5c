// CScrollBarUI: a skinned vertical scroll bar for a native child that keeps
// its own scroll state (the rich edit). The bar reads the child's SB_VERT
// scroll information and drives it with WM_VSCROLL; it draws the track
// (bknormalimage) and the thumb (thumbnormalimage / thumbhotimage /
// thumbpushedimage). Its look comes from the layout's "VScrollBar" default
// attributes; width is its fixed width (8 when none is given). The bar is
// owned by the control that hosts it, not by a container.
#pragma once

#include "duilib/control.h"

namespace DuiLib {

class CScrollBarUI : public CControlUI {
 public:
  CScrollBarUI();
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  // The native window whose vertical scroll state the bar shows; may be null.
  void SetTarget(HWND target) { target_ = target; }
  // Repaints when the target's scroll state differs from the last painted one.
  void SyncWithTarget();
  // Thumb rectangle in client coordinates; empty when there is nothing to scroll.
  RECT ThumbRect() const;

  bool TakesMouse() const override { return true; }
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(HDC hdc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  bool ScrollInfo(SCROLLINFO& si) const;
  void ScrollTo(int pos);

  HWND target_ = nullptr;
  std::wstring trackImage_, thumbImage_, thumbHotImage_, thumbPushedImage_;
  bool hot_ = false, dragging_ = false;
  int dragOffset_ = 0;     // pointer y minus thumb top at the press
  SCROLLINFO painted_{};   // state last drawn
};

}  // namespace DuiLib
