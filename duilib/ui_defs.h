// Shared small types of the skinned UI library: forward declarations, the
// input event handed to controls, and control flags. UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

class CControlUI;
class CContainerUI;
class CPaintManagerUI;

// Input events the paint manager hands to a control's DoEvent.
enum EventTypeUI {
  UIEVENT_MOUSEENTER = 1,  // the mouse came over the control
  UIEVENT_MOUSELEAVE,      // the mouse left it
  UIEVENT_MOUSEMOVE,       // moved while the control holds the capture
  UIEVENT_BUTTONDOWN,      // left button pressed on it (it now holds the capture)
  UIEVENT_BUTTONUP,        // left button released after a press on it
  UIEVENT_DBLCLICK,        // left button double click on it
  UIEVENT_SETFOCUS,        // it became the focus control
  UIEVENT_KILLFOCUS,       // it stopped being the focus control
  UIEVENT_KEYDOWN,         // WM_KEYDOWN while it has the focus
};

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  POINT ptMouse{};  // client coordinates of the window
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD dwTimestamp = 0;  // GetTickCount at the event
};

// Button-like state bits of a control (CButtonUI and descendants).
enum StateUI : unsigned {
  UISTATE_HOT = 0x01,
  UISTATE_PUSHED = 0x02,
  UISTATE_FOCUSED = 0x04,
  UISTATE_DISABLED = 0x08,
  UISTATE_SELECTED = 0x10,
  UISTATE_CAPTURED = 0x20,
};

// Pure helpers over RECT (no normalisation: callers keep l<=r, t<=b).
inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }
inline bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace DuiLib
