// Paint manager, input step: the window messages it owns, mouse tracking,
// capture, hot/pushed state and focus.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "duilib/control.h"
#include "duilib/layered_shadow.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

namespace {

void SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0) {
  if (!control) return;
  TEventUI e;
  e.Type = type;
  e.pSender = control;
  e.ptMouse = pt;
  e.wParam = wParam;
  e.lParam = lParam;
  e.dwTimestamp = GetTickCount();
  control->DoEvent(e);
}

}  // namespace

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (control == focus_) return;
  CControlUI* old = focus_;
  focus_ = nullptr;
  if (old) {
    old->SetFocusedState(false);
    SendEvent(old, UIEVENT_KILLFOCUS, lastMouse_);
    SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
  }
  // A killfocus handler may have moved the focus itself or removed control.
  if (focus_ || !control) return;
  focus_ = control;
  control->SetFocusedState(true);
  SendEvent(control, UIEVENT_SETFOCUS, lastMouse_);
  SendNotify(control, DUI_MSGTYPE_SETFOCUS);
}

void CPaintManagerUI::UpdateToolTip() {
  const std::wstring text = hot_ ? hot_->GetToolTip() : std::wstring();
  if (!tooltip_) {
    if (text.empty()) return;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                               0, 0, hWnd_, nullptr, GetInstance(), nullptr);
    if (!tooltip_) return;
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS;  // the tooltip watches the mouse over our window itself
    ti.hwnd = hWnd_;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  }
  if (text == tooltipText_ && !text.empty()) return;
  tooltipText_ = text;
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = hWnd_;
  ti.uId = 1;
  ti.rect = hot_ && !text.empty() ? hot_->GetPos() : RECT{};
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
  ti.lpszText = const_cast<wchar_t*>(tooltipText_.c_str());
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(tooltip_, TTM_ACTIVATE, !text.empty(), 0);
}

void CPaintManagerUI::OnMouseMove(POINT pt) {
  lastMouse_ = pt;
  if (!mouseTracking_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hWnd_, 0};
    mouseTracking_ = TrackMouseEvent(&tme) != FALSE;
  }
  if (pushed_) SendEvent(pushed_, UIEVENT_MOUSEMOVE, pt);
  CControlUI* hit = FindControl(pt);
  if (hit != hot_) {
    CControlUI* old = hot_;
    hot_ = hit;
    if (old) SendEvent(old, UIEVENT_MOUSELEAVE, pt);
    if (hot_) SendEvent(hot_, UIEVENT_MOUSEENTER, pt);
    UpdateToolTip();
  }
}

void CPaintManagerUI::OnMouseLeave() {
  mouseTracking_ = false;
  if (hot_ && !pushed_) {
    CControlUI* old = hot_;
    hot_ = nullptr;
    SendEvent(old, UIEVENT_MOUSELEAVE, lastMouse_);
    UpdateToolTip();
  }
}

void CPaintManagerUI::OnButtonDown(POINT pt, bool dblclick) {
  lastMouse_ = pt;
  // Take the keyboard focus from a native child, so that it reports leaving.
  if (::GetFocus() != hWnd_) ::SetFocus(hWnd_);
  CControlUI* hit = FindControl(pt);
  SetFocus(hit && hit->IsEnabled() ? hit : nullptr);
  hit = FindControl(pt);  // a killfocus handler may have changed the tree
  if (!hit || !hit->IsEnabled()) return;
  pushed_ = hit;
  SetCapture(hWnd_);
  SendEvent(hit, dblclick ? UIEVENT_DBLCLICK : UIEVENT_BUTTONDOWN, pt);
}

void CPaintManagerUI::OnButtonUp(POINT pt) {
  lastMouse_ = pt;
  CControlUI* control = pushed_;
  pushed_ = nullptr;
  if (GetCapture() == hWnd_) ReleaseCapture();
  // The control's action may close or rebuild the window: nothing of this
  // manager is touched after it.
  if (control) SendEvent(control, UIEVENT_BUTTONUP, pt);
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  lRes = 0;
  if (!hWnd_) return false;
  if (PreMessageHandler(uMsg, wParam, lParam, lRes)) return true;
  if (uMsg == CLayeredShadow::FollowMessage()) {
    if (shadow_) shadow_->Follow();
    return true;
  }
  switch (uMsg) {
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_ERASEBKGND:
      lRes = 1;
      return true;
    case WM_PRINTCLIENT: {
      CDibSurface surface;
      if (PaintToSurface(surface, layered_, true)) {
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, surface.Width(), surface.Height(), surface.Dc(), 0, 0, SRCCOPY);
      }
      return true;
    }
    case WM_SIZE:
      if (root_ && wParam != SIZE_MINIMIZED) {
        UpdateLayout();
        UpdateRegion();
        Invalidate();
      }
      return false;
    case WM_WINDOWPOSCHANGED:
      if (shadow_) shadow_->Follow();
      return false;  // DefWindowProc turns it into WM_SIZE / WM_MOVE
    case WM_ACTIVATE:
      // Activation raises the window, sometimes without a z-order message.
      if (shadow_) PostMessageW(hWnd_, CLayeredShadow::FollowMessage(), 0, 0);
      return false;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minInfo_.cx > 0) info->ptMinTrackSize.x = minInfo_.cx;
      if (minInfo_.cy > 0) info->ptMinTrackSize.y = minInfo_.cy;
      if (maxInfo_.cx > 0) info->ptMaxTrackSize.x = maxInfo_.cx;
      if (maxInfo_.cy > 0) info->ptMaxTrackSize.y = maxInfo_.cy;
      return true;
    }
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return true;
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, uMsg == WM_LBUTTONDBLCLK);
      return true;
    case WM_LBUTTONUP:
      OnButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      if (pushed_ && reinterpret_cast<HWND>(lParam) != hWnd_) {
        // Capture lost without a release: end the press without an action.
        CControlUI* control = pushed_;
        pushed_ = nullptr;
        SendEvent(control, UIEVENT_BUTTONUP, POINT{-100000, -100000});
      }
      return false;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hWnd_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        lRes = TRUE;
        return true;
      }
      return false;
    case WM_MOUSEWHEEL: {
      // The wheel over a control hosting a native child (the rich edit and
      // its skinned bar) scrolls that child, wherever the focus is.
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hWnd_, &pt);
      for (CControlUI* c = FindControl(pt); c; c = c->GetParent()) {
        if (HWND native = c->GetNativeWindow()) {
          lRes = SendMessageW(native, WM_MOUSEWHEEL, wParam, lParam);
          return true;
        }
      }
      return false;
    }
    case WM_KEYDOWN:
      if (focus_) SendEvent(focus_, UIEVENT_KEYDOWN, lastMouse_, wParam, lParam);
      return false;
    case WM_COMMAND:
      if (lParam) {
        if (CControlUI* owner = FindNativeOwner(reinterpret_cast<HWND>(lParam))) {
          owner->OnNativeCommand(HIWORD(wParam));
          return true;
        }
      }
      return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (CControlUI* owner = FindNativeOwner(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = owner->OnNativeCtlColor(reinterpret_cast<HDC>(wParam))) {
          lRes = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      }
      return false;
    case WM_DESTROY:
      shadow_.reset();
      return false;
    default:
      return false;
  }
}

}  // namespace DuiLib
