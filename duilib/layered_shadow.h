// CLayeredShadow: the companion of a layered-look window (OS major version 6
// and up). The content window itself stays a normal window, so its native
// children (EDIT, RichEdit) show; its region is cut to the opaque part of the
// content (and the round corners). This separate WS_EX_LAYERED window, owned
// like the content window, shows the shadow image with per-pixel alpha
// (UpdateLayeredWindow) right behind it: it follows moves, size, z-order,
// showing and hiding, and is transparent to the mouse (WS_EX_TRANSPARENT).
#pragma once

#include <windows.h>

#include <string>

#include "duilib/render.h"

namespace DuiLib {

class CLayeredShadow {
 public:
  CLayeredShadow() = default;
  ~CLayeredShadow();  // destroys the shadow window
  CLayeredShadow(const CLayeredShadow&) = delete;
  CLayeredShadow& operator=(const CLayeredShadow&) = delete;

  // Creates the shadow window for content (not shown yet). False on failure.
  bool Create(HWND content);
  HWND GetHWND() const { return hwnd_; }
  // New pixels (premultiplied BGRA, content size) for the shadow.
  void SetImage(const CDibSurface& image);
  // Follows the content window: position, size, z-order (just below it), visibility.
  void Follow();
  void Destroy();
  // Message posted to the content window to run Follow again later; the
  // paint manager handles it.
  static UINT FollowMessage();

 private:
  void Push();
  HWND content_ = nullptr;
  HWND hwnd_ = nullptr;
  CDibSurface pixels_;
};

}  // namespace DuiLib
