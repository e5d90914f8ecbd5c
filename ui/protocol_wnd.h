// The licence window: shows the licence agreement (resource "TXT" 132) in a
// read-only, scrollable text field; the confirm button, Escape and the
// system's close request close it. It changes nothing in its owner and
// reports only that it is gone. Deletes itself. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "duilib/control.h"
#include "duilib/window_impl_base.h"

class ProtocolWnd : public DuiLib::WindowImplBase {
 public:
  ProtocolWnd() = default;
  ~ProtocolWnd() override = default;

  // Runs once, when the window is gone, just before the object deletes
  // itself. The owner sets it right after creating the window.
  void setCloseCallback(std::function<void()> callback) { closeCallback_ = std::move(callback); }

  // The licence text as stored: UTF-16LE code units, byte-order mark
  // included; empty when the resource is missing or cannot be loaded.
  static std::wstring licenceText();

  void onConfirmClick(DuiLib::TNotifyUI& msg);

  DUI_DECLARE_MESSAGE_MAP()

 protected:
  const wchar_t* GetWindowClassName() const override;
  UINT GetClassStyle() const override;
  void OnFinalMessage(HWND hwnd) override;
  void InitWindow() override;
  std::wstring GetSkinFolder() override;
  std::wstring GetSkinFile() override;

 private:
  std::function<void()> closeCallback_;
  HWND owner_ = nullptr;
};
