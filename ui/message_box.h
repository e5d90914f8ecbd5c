// The skinned message box: title, optional icon, description and a row of
// buttons, each carrying its own action. The box is owned by another window,
// which it disables while it is open; the functions return at once and the
// user's choice arrives only as the action of the button pressed. A
// description already on screen is not shown a second time. UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "duilib/button.h"
#include "duilib/window_impl_base.h"

namespace msg {

// One button of a box. onClick may be empty (the button only closes).
struct ButtonInfo {
  ButtonInfo(std::wstring text, std::function<void()> onClick, bool isDefault);
  // The standard confirm button: translate("confirm"), no action, default.
  ButtonInfo();

  std::wstring text;
  std::function<void()> onClick;
  bool isDefault = false;  // the highlighted style
};

// Skin file of an icon kind: 0 notice, 1 warning, 2 error; "" otherwise.
std::wstring iconPath(int kind);

class IMessageBox {
 public:
  // Not empty: "msgiconimage" shows this image. Empty: no icon, and the
  // description takes the icon's room.
  virtual void setIcon(const std::wstring& imagePath) = 0;
  virtual void setTitle(const std::wstring& title) = 0;
  // Left-aligned, vertically centred, multi-line, inline markup; kept as
  // the box's description.
  virtual void setDescription(const std::wstring& text) = 0;
  // Runs when the box's own close button is clicked.
  virtual void setCloseCallback(std::function<void()> callback) = 0;
  // Appends a button to the row "bottombar", in call order.
  virtual void addButton(const ButtonInfo& info) = 0;
  // Big and small window icons from an icon resource of the executable.
  virtual void setWindowIcon(UINT iconResourceId) = 0;

 protected:
  ~IMessageBox() = default;
};

// The descriptions of the boxes currently open (process-wide, UI thread).
std::set<std::wstring>& openDescriptions();

// One button of the row: keeps its ButtonInfo and answers the interface
// query "Selection" with itself.
class CSelectionUI : public DuiLib::CButtonUI {
 public:
  explicit CSelectionUI(const ButtonInfo& info);
  void* GetInterface(const wchar_t* name) override;
  const ButtonInfo& info() const { return info_; }

 private:
  ButtonInfo info_;
};

// The box window. Deletes itself when its window is gone; its destruction
// takes its description out of openDescriptions().
class MessageBoxWindow : public DuiLib::WindowImplBase, public IMessageBox {
 public:
  MessageBoxWindow(HWND owner, std::wstring layoutFile);
  ~MessageBoxWindow() override;

  void setIcon(const std::wstring& imagePath) override;
  void setTitle(const std::wstring& title) override;
  void setDescription(const std::wstring& text) override;
  void setCloseCallback(std::function<void()> callback) override;
  void addButton(const ButtonInfo& info) override;
  void setWindowIcon(UINT iconResourceId) override;

 protected:
  const wchar_t* GetWindowClassName() const override;
  UINT GetClassStyle() const override;
  void OnFinalMessage(HWND hwnd) override;
  std::wstring GetSkinFolder() override;
  std::wstring GetSkinFile() override;
  LRESULT OnClose(UINT msg, WPARAM wparam, LPARAM lparam, BOOL& handled) override;
  void Notify(DuiLib::TNotifyUI& msg) override;

 private:
  std::function<void()> closeCallback_;
  std::wstring description_;
  HWND owner_ = nullptr;
  std::wstring layoutFile_;
};

// A visible box owned by `owner` (disabled until the box closes), built
// from `layoutFile`. The box deletes itself; the pointer is valid until the
// user closes it. Null (owner enabled again) when the window cannot be made.
IMessageBox* createMessageBox(HWND owner, const std::wstring& layoutFile);

// A box with two buttons (first left of second), or nothing when a box with
// this description is already open.
void showMessageBox(HWND owner, const std::wstring& icon, const std::wstring& title,
                    const std::wstring& description, const ButtonInfo& first,
                    const ButtonInfo& second);
// A box with one button, or nothing when this description is already open.
void showMessageBox(HWND owner, const std::wstring& icon, const std::wstring& title,
                    const std::wstring& description, const ButtonInfo& button);
// The one-button form with the error icon.
void showErrorBox(HWND owner, const std::wstring& title, const std::wstring& description,
                  const ButtonInfo& button);

}  // namespace msg
