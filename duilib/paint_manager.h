// CPaintManagerUI: binds a control tree to one native window. It owns the
// root control, the fonts, the image cache and the default attributes of a
// layout; it tracks focus, hot and pushed controls, routes mouse and native-
// child messages to controls, raises notifications to its notifiers, and
// paints the tree double-buffered. From OS major version 6, a layout with a
// layeredimage gets a companion shadow window and a window region cut to the
// opaque content (see layered_shadow.h); below 6 neither is used.
//
// Message loop of an application: CPaintManagerUI::MessageLoop() runs until
// WM_QUIT; each keyboard message of a native child (the EDIT, the rich edit)
// first goes through TranslateMessage(), which offers it to the message
// filters of the skinned window above it (Escape typed into the path field
// reaches the window's filter). Messages of the skinned window itself reach
// its filters in its window procedure (MessageHandler). UI thread only.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "duilib/notify.h"
#include "duilib/render.h"
#include "duilib/ui_defs.h"

namespace DuiLib {

class CLayeredShadow;

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();  // deletes the tree; the window must be gone or unbound
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // ---- process-wide ----
  // Module whose resources (icons) windows load; default GetModuleHandle(nullptr).
  static HINSTANCE GetInstance();
  static void SetInstance(HINSTANCE instance);
  // Runs the message loop until WM_QUIT; returns its exit code.
  static int MessageLoop();
  // Offers a queued keyboard message of a native child to the filters of the
  // skinned window above it; true when a filter consumed it (then do not
  // dispatch it). Other messages: false.
  static bool TranslateMessage(const MSG* msg);

  // ---- binding ----
  // Binds to hWnd (once, before AttachDialog; WindowImplBase does it on WM_CREATE).
  void Init(HWND hWnd);
  HWND GetPaintWindow() const { return hWnd_; }
  // After the window is destroyed: forgets native children, the shadow and
  // the window; the tree stays until the manager is deleted.
  void Unbind();

  // ---- tree ----
  // Takes ownership of root (replacing and deleting an earlier one), applies
  // the layout's window size, region and shadow, and lays it out. False when root is null.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return root_; }
  // First control named name in the tree, or nullptr (also for an empty name).
  CControlUI* FindControl(const std::wstring& name) const;
  // Deepest visible, mouse-enabled control at pt (client coordinates), or nullptr.
  CControlUI* FindControl(POINT pt) const;
  // Forgets control as focus/hot/pushed/native owner (called before it is deleted).
  void ReapObjects(CControlUI* control);
  // Sets manager on control's subtree (containers call it on Add).
  void InitControls(CControlUI* control, CControlUI* parent);

  // ---- window attributes of the layout (Window element) ----
  // Applies one Window attribute: size, caption, mininfo, maxinfo, roundcorner,
  // layeredimage (others ignored).
  void SetWindowAttribute(const wchar_t* name, const wchar_t* value);
  SIZE GetInitSize() const { return initSize_; }
  void SetInitSize(int cx, int cy);
  // l,t,r,b: a press at x in [l, width-r), y in [t, b) drags the window.
  RECT GetCaptionRect() const { return caption_; }
  SIZE GetMinInfo() const { return minInfo_; }
  SIZE GetMaxInfo() const { return maxInfo_; }
  SIZE GetRoundCorner() const { return roundCorner_; }
  const std::wstring& GetLayeredImage() const { return layeredImage_; }
  // True when the layered look (shadow window, opaque-content region) is in
  // use: a layeredimage was given and skinOsMajorVersion() >= 6.
  bool IsLayered() const { return layered_; }
  // The companion shadow window, or nullptr when not layered.
  HWND GetShadowWindow() const;
  // True when a press at pt (client) should drag the window.
  bool IsCaptionPoint(POINT pt) const;

  // ---- resources ----
  // Font id -> font (pixel size; the name maps through FontSubstitutes).
  void AddFont(int id, const std::wstring& name, int size, bool bold, bool underline, bool italic,
               bool isDefault);
  // The font of id; the default font for -1 or an unknown id. Never null.
  HFONT GetFont(int id);
  HFONT GetDefaultFont();
  // Default attributes per control class name ("Button", "VScrollBar", ...).
  void AddDefaultAttributeList(const std::wstring& className, const std::wstring& list);
  const std::wstring* GetDefaultAttributeList(const std::wstring& className) const;
  // Image element: a shared image name and the mask used when a string names none.
  void AddImageDefinition(const std::wstring& name, DWORD mask, bool hasMask);
  // Cached decoded image; nullptr when the file cannot be read or decoded.
  // Read with readSkinFile, else as a file path of its own.
  const CImageData* GetImage(const std::wstring& file, DWORD mask, bool hasMask);
  // Default text colour of controls without a textcolor (ARGB).
  DWORD GetDefaultTextColor() const { return defaultTextColor_; }

  // ---- focus, hot, pushed ----
  CControlUI* GetFocus() const { return focus_; }
  // Moves the focus: the old focus gets UIEVENT_KILLFOCUS and raises
  // "killfocus", the new one UIEVENT_SETFOCUS and "setfocus". nullptr clears it.
  void SetFocus(CControlUI* control);
  CControlUI* GetHot() const { return hot_; }
  // The tooltip window (created when a control with a tooltip is first
  // hovered), or nullptr. It shows the hot control's tooltip text.
  HWND GetToolTipWindow() const { return tooltip_; }
  CControlUI* GetPushed() const { return pushed_; }

  // ---- notifications ----
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);
  // Hands (type, sender) to every notifier, now, in registration order.
  void SendNotify(CControlUI* sender, const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);

  // ---- message filters ----
  bool AddPreMessageFilter(IMessageFilterUI* filter);
  bool RemovePreMessageFilter(IMessageFilterUI* filter);
  // Runs the filters; true when one consumed the message (result in lRes).
  bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

  // ---- native children of controls ----
  void RegisterNativeWindow(HWND hwnd, CControlUI* owner);
  void UnregisterNativeWindow(HWND hwnd);
  CControlUI* FindNativeOwner(HWND hwnd) const;

  // ---- layout and paint ----
  void Invalidate();                 // whole client area
  void Invalidate(const RECT& rc);   // part of it
  void NeedUpdate();                 // lay the tree out again before the next paint
  void UpdateLayout();               // lay it out now at the client size
  // Paints the tree into a surface of the client size. withLayeredImage adds
  // the shadow image underneath; withText false skips text (used for the
  // opaque-content region). The surface starts transparent.
  bool PaintToSurface(CDibSurface& surface, bool withLayeredImage, bool withText);
  // What the window shows, as premultiplied BGRA pixels of the client size,
  // shadow included when layered, native children copied in. False when unbound.
  bool RenderSnapshot(std::vector<DWORD>& pixels, int& width, int& height);
  // Whether text is being drawn in the current paint pass (controls ask).
  bool IsPaintingText() const { return paintText_; }

  // ---- window procedure part ----
  // Handles the messages of the bound window that the manager owns (paint,
  // size, mouse, focus, native-child commands, colours, min/max info).
  // Returns true when handled; lRes is the result then.
  bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

 private:
  void OnMouseMove(POINT pt);
  void OnMouseLeave();
  void OnButtonDown(POINT pt, bool dblclick);
  void OnButtonUp(POINT pt);
  void OnPaint();
  void UpdateToolTip();
  void UpdateRegion();

  HWND hWnd_ = nullptr;
  HWND tooltip_ = nullptr;  // owned; destroyed with the window
  std::wstring tooltipText_;
  CControlUI* root_ = nullptr;
  CControlUI* focus_ = nullptr;
  CControlUI* hot_ = nullptr;
  CControlUI* pushed_ = nullptr;
  bool mouseTracking_ = false;
  bool updateNeeded_ = true;
  bool paintText_ = true;
  bool layered_ = false;
  SIZE initSize_{};
  RECT caption_{};
  SIZE minInfo_{};
  SIZE maxInfo_{};
  SIZE roundCorner_{};
  SIZE regionSize_{};  // client size the region and shadow were made for
  std::wstring layeredImage_;
  DWORD defaultTextColor_ = 0xFF000000;
  POINT lastMouse_{};

  std::map<int, HFONT> fonts_;
  HFONT defaultFont_ = nullptr;  // owned; may also be in fonts_
  bool defaultFontFromTable_ = false;
  std::map<std::wstring, std::wstring> defaultAttributes_;
  std::map<std::wstring, std::pair<DWORD, bool>> imageDefinitions_;
  std::map<std::wstring, std::unique_ptr<CImageData>> images_;  // key: file + mask
  std::vector<INotifyUI*> notifiers_;
  std::vector<IMessageFilterUI*> filters_;
  std::map<HWND, CControlUI*> natives_;
  CDibSurface backBuffer_;
  std::unique_ptr<CLayeredShadow> shadow_;
};

}  // namespace DuiLib
