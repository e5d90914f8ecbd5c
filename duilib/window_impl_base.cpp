#include "duilib/window_impl_base.h"

#include <windowsx.h>

#include <cwchar>

#include "duilib/control.h"

namespace DuiLib {

DUI_BEGIN_MESSAGE_MAP(WindowImplBase, CNotifyPump)
  DUI_ON_MSGTYPE(DUI_MSGTYPE_CLICK, OnClick)
DUI_END_MESSAGE_MAP()

WindowImplBase::~WindowImplBase() {
  if (!hWnd_) return;
  HWND hwnd = hWnd_;
  hWnd_ = nullptr;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // later messages go to DefWindowProc
  m_pm.Unbind();
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const std::wstring& name = msg.pSender->GetName();
  if (name == L"closebtn") {
    Close(1);
  } else if (name == L"minbtn") {
    ::SendMessageW(hWnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  }
}

void WindowImplBase::Notify(TNotifyUI& msg) { LoopDispatch(msg); }

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& handled) {
  if (uMsg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    Close(1);
    handled = true;
    return 0;
  }
  handled = false;  // Enter and everything else pass
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

void WindowImplBase::OnLayoutLoadFailed() {
  MessageBoxW(nullptr, L"加载资源文件失败", L"Duilib", MB_ICONERROR);
  ExitProcess(1);
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = TRUE;
  LONG style = GetWindowLongW(hWnd_, GWL_STYLE);
  style &= ~WS_CAPTION;
  style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  SetWindowLongW(hWnd_, GWL_STYLE, style);
  RECT rc;
  GetClientRect(hWnd_, &rc);
  SetWindowPos(hWnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  m_pm.Init(hWnd_);
  m_pm.AddPreMessageFilter(this);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), this, &m_pm);
  if (!root) OnLayoutLoadFailed();
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  bHandled = TRUE;
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(hWnd_, &pt);
  if (m_pm.IsCaptionPoint(pt)) {
    CControlUI* hit = m_pm.FindControl(pt);
    if (!hit || !hit->TakesMouse()) return HTCAPTION;
  }
  return HTCLIENT;
}

void WindowImplBase::OnFinalMessage(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.Unbind();
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lRes = 0;
  BOOL bHandled = TRUE;
  switch (uMsg) {
    case WM_CREATE:
      lRes = OnCreate(uMsg, wParam, lParam, bHandled);
      break;
    case WM_CLOSE:
      lRes = OnClose(uMsg, wParam, lParam, bHandled);
      break;
    case WM_DESTROY:
      lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
      {
        LRESULT ignored = 0;
        m_pm.MessageHandler(uMsg, wParam, lParam, ignored);  // drops the shadow window
      }
      break;
    case WM_NCHITTEST:
      lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
      break;
    case WM_NCCALCSIZE:
      // The client area is the whole window: no frame is drawn.
      lRes = 0;
      break;
    case WM_NCPAINT:
      lRes = 0;
      break;
    case WM_NCACTIVATE:
      if (IsIconic(hWnd_)) bHandled = FALSE;
      else lRes = TRUE;
      break;
    default:
      bHandled = FALSE;
      break;
  }
  if (bHandled) return lRes;
  if (uMsg != WM_DESTROY && m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
