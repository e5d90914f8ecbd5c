// CControlUI: the base of every element of a window's control tree. A
// control has a name, text, a rectangle laid out by its parent, outer padding,
// optional fixed width/height or a floating position, a background colour and
// image, and visibility/enable state. Controls are heap objects owned by their
// parent container (the root by the paint manager). UI thread only.
#pragma once

#include <windows.h>

#include <string>

#include "duilib/ui_defs.h"

namespace DuiLib {

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // ---- identity ----
  // Class name of the implementation ("ControlUI", "ButtonUI", ...).
  virtual const wchar_t* GetClass() const;
  // The control itself, cast to the class named (without "UI": "Control",
  // "Label", "Button", "Option", "Edit", "RichEdit", "Progress", "Container",
  // "VerticalLayout", "HorizontalLayout", "TabLayout", "ScrollBar"; "IContainer" gives an
  // IContainerUI*), when it implements that name; else nullptr. Subclasses
  // answer their own names first and pass the rest to their base.
  virtual void* GetInterface(const wchar_t* name);
  const std::wstring& GetName() const { return name_; }
  void SetName(const std::wstring& name) { name_ = name; }

  // ---- tree ----
  CPaintManagerUI* GetManager() const { return manager_; }
  CControlUI* GetParent() const { return parent_; }
  // Called when the control enters a tree (containers pass it down).
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
  // The first control of this subtree (itself included) named name, or nullptr.
  virtual CControlUI* FindControlByName(const std::wstring& name);
  // The deepest visible, mouse-enabled control of this subtree containing pt
  // (client coordinates), or nullptr.
  virtual CControlUI* FindControlAt(POINT pt);

  // ---- text ----
  virtual std::wstring GetText() const { return text_; }
  // Sets the text as given (no "@ID" resolution) and repaints.
  virtual void SetText(const std::wstring& text);
  const std::wstring& GetToolTip() const { return tooltip_; }
  void SetToolTip(const std::wstring& text) { tooltip_ = text; }

  // ---- state ----
  // Visible when its own flag is set and no ancestor hides it (a tab page).
  virtual bool IsVisible() const { return visible_ && internVisible_; }
  // Shows or hides the control; the parent lays out again.
  virtual void SetVisible(bool visible = true);
  // Visibility imposed by an ancestor; containers pass it down.
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enable = true);
  bool IsMouseEnabled() const { return mouseEnabled_; }
  void SetMouseEnabled(bool enable) { mouseEnabled_ = enable; }
  bool IsFocused() const { return focused_; }
  // Whether a press on it keeps the window from being dragged by the caption.
  virtual bool TakesMouse() const { return false; }

  // ---- geometry ----
  // Rectangle in client coordinates, as last laid out.
  const RECT& GetPos() const { return rcItem_; }
  // Lays the control out at rc (containers lay out their children too).
  virtual void SetPos(RECT rc);
  const RECT& GetPadding() const { return rcPadding_; }
  // Outer margins l,t,r,b in pixels, used by the parent's layout.
  void SetPadding(RECT rc);
  int GetFixedWidth() const { return fixedWidth_; }   // 0: take the parent's share
  int GetFixedHeight() const { return fixedHeight_; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);
  bool IsFloat() const { return float_; }
  void SetFloat(bool isFloat);
  // Offset l,t (and r,b when width/height are not set) inside the parent.
  const RECT& GetFloatPos() const { return rcFloat_; }
  void SetFloatPos(RECT rc);

  // ---- look ----
  DWORD GetBkColor() const { return bkColor_; }
  void SetBkColor(DWORD argb);  // 0xAARRGGBB; alpha 0 draws nothing
  const std::wstring& GetBkImage() const { return bkImage_; }
  void SetBkImage(const std::wstring& image);  // image string, see attr_parse.h

  // ---- attributes ----
  // Applies one attribute exactly as if it were written in a layout
  // ("text" and "tooltip" values are resolved with resolveTextRef). Unknown
  // names are ignored.
  virtual void SetAttribute(const wchar_t* name, const wchar_t* value);
  // Applies an attribute list of the form name="value" name2="value2".
  void ApplyAttributeList(const std::wstring& list);

  // ---- repaint / relayout ----
  void Invalidate();       // repaint its rectangle
  void NeedUpdate();       // lay out this control again, then repaint
  void NeedParentUpdate(); // lay out the parent again (size or visibility changed)

  // ---- paint (paint step; hdc is the manager's back buffer) ----
  virtual void DoPaint(HDC hdc, const RECT& rcPaint);
  virtual void PaintBkColor(HDC hdc);
  virtual void PaintBkImage(HDC hdc);
  virtual void PaintStatusImage(HDC hdc);
  virtual void PaintText(HDC hdc);
  // Draws an image string at this control's rectangle; false when nothing drew.
  bool DrawImage(HDC hdc, const std::wstring& image);

  // ---- input (input step) ----
  virtual void DoEvent(TEventUI& event);
  // The control's action (buttons: raise "click"); false when disabled.
  virtual bool Activate();
  // Focus bookkeeping from the paint manager.
  virtual void SetFocusedState(bool focused);

  // ---- native children (edit, rich edit) ----
  // The native child window hosted by this control, or nullptr.
  virtual HWND GetNativeWindow() const { return nullptr; }
  // WM_COMMAND notification code from the native child.
  virtual void OnNativeCommand(UINT /*code*/) {}
  // WM_CTLCOLOR* of the native child: brush to paint with, or nullptr for default.
  virtual HBRUSH OnNativeCtlColor(HDC /*hdc*/) { return nullptr; }
  // The native child is gone (its parent window was destroyed): forget it.
  virtual void OnNativeDestroyed() {}

 protected:
  CPaintManagerUI* manager_ = nullptr;
  CControlUI* parent_ = nullptr;
  std::wstring name_;
  std::wstring text_;
  std::wstring tooltip_;
  RECT rcItem_{};
  RECT rcPadding_{};
  RECT rcFloat_{};
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  bool float_ = false;
  bool visible_ = true;
  bool internVisible_ = true;
  bool enabled_ = true;
  bool mouseEnabled_ = true;
  bool focused_ = false;
  DWORD bkColor_ = 0;
  std::wstring bkImage_;
};

}  // namespace DuiLib
