// WindowImplBase: the base of every skinned window. On WM_CREATE it drops
// the caption bits, adds WS_CLIPSIBLINGS | WS_CLIPCHILDREN, re-applies the
// frame (SWP_FRAMECHANGED), binds its paint manager, registers itself as
// message pre-filter, builds GetSkinFile() (read with readSkinFile), attaches
// the tree (which sizes the window from the layout), registers itself as
// notifier, then calls InitWindow. A layout that cannot be read or built
// shows MessageBoxW(nullptr, L"加载资源文件失败", L"Duilib", MB_ICONERROR) and
// ends the process with exit code 1.
//
// Base behaviour: Escape (WM_KEYDOWN VK_ESCAPE, also from a native child)
// closes the window with result 1, Enter passes; "click" on "closebtn" closes
// with result 1, on "minbtn" minimises (WM_SYSCOMMAND SC_MINIMIZE); a press in
// the caption rectangle where no mouse-taking control is hit drags the window
// (WM_NCHITTEST gives HTCAPTION); WM_CLOSE and WM_DESTROY end in the default
// processing. The frame is not drawn (the client area is the whole window).
//
// Typical use:
//   auto* w = new MyWnd;                       // deletes itself in OnFinalMessage
//   w->Create(nullptr, L"title", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0);
//   w->CenterWindow(); w->ShowWindow(true, true);
//   ... CPaintManagerUI::MessageLoop();
//   auto* edit = static_cast<CEditUI*>(w->FindControl(L"pathedit"));
#pragma once

#include <string>

#include "duilib/dialog_builder.h"
#include "duilib/notify.h"
#include "duilib/paint_manager.h"
#include "duilib/window_wnd.h"

namespace DuiLib {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;
  // A window still open when its object is deleted is unbound first (no
  // OnFinalMessage), then destroyed.
  ~WindowImplBase() override;

  // The control named name in this window's tree, or nullptr.
  CControlUI* FindControl(const std::wstring& name) const { return m_pm.FindControl(name); }
  CPaintManagerUI& GetPaintManager() { return m_pm; }

  // ---- overridable operations, in slot order after CWindowWnd's ----
  // (GetWindowClassName, GetClassStyle, OnFinalMessage come from CWindowWnd.)
  // Once, after the layout is built and attached.
  virtual void InitWindow() {}
  // Not used by the base.
  virtual std::wstring GetSkinFolder() { return L""; }
  // The layout file name, read with readSkinFile.
  virtual std::wstring GetSkinFile() = 0;
  // WM_CLOSE: set handled = true to stop the close; the base lets it continue.
  virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // WM_DESTROY: the base lets the default processing continue.
  virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // INotifyUI: the base passes msg to the message-map dispatch.
  void Notify(TNotifyUI& msg) override;

  // IMessageFilterUI: Escape closes with result 1.
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: no custom classes.
  CControlUI* CreateControl(const wchar_t* className) override;

  DUI_DECLARE_MESSAGE_MAP()

 protected:
  // Base "click" handler: "closebtn" closes with result 1, "minbtn" minimises.
  virtual void OnClick(TNotifyUI& msg);
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  // Base step of every window's final message: unbinds the paint manager.
  // Overrides call it first, then may delete the object.
  void OnFinalMessage(HWND hWnd) override;
  virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Test hook and fatal path: shows the box and ends the process (exit code 1).
  [[noreturn]] virtual void OnLayoutLoadFailed();

  CPaintManagerUI m_pm;
};

}  // namespace DuiLib
