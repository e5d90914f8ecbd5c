// The installer's main window: quick or custom install on page 0 (install
// folder, licence box, install button), download and installation progress
// on page 2. It drives the model and receives its events on the UI thread.
// Deletes itself when its window is gone, and its destruction ends the run.
// UI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "duilib/control.h"
#include "duilib/window_impl_base.h"

class ProtocolWnd;
class ZQDownloaderModel;

class ZQDownloaderMainFrame : public DuiLib::WindowImplBase {
 public:
  // onGone runs once, when the window is gone, just before the object
  // deletes itself (the owner forgets its pointer there).
  explicit ZQDownloaderMainFrame(std::function<void()> onGone);
  ~ZQDownloaderMainFrame() override;

  // Handlers of the message map.
  void onInstallNowClick(DuiLib::TNotifyUI& msg);
  void onCustomInstallClick(DuiLib::TNotifyUI& msg);
  void onBackClick(DuiLib::TNotifyUI& msg);
  void onPathEditKillFocus(DuiLib::TNotifyUI& msg);
  void onBrowseClick(DuiLib::TNotifyUI& msg);
  void onLicenceLinkClick(DuiLib::TNotifyUI& msg);
  void onChatGroupClick(DuiLib::TNotifyUI& msg);
  void onCloseClick(DuiLib::TNotifyUI& msg);
  void onAcceptOptionChanged(DuiLib::TNotifyUI& msg);

  // Model events (UI thread, through the model's callbacks).
  // percent -1: an existing installer file is being checked.
  void onProgress(int percent, int received, int total);
  void onDownloadDone();
  void onInstallDone(bool success);

  // Path state: error notice, edit images and install button follow the
  // validity of the model's install folder and the licence box.
  void refreshPathState();
  void showCustomOptions(bool show);
  void showProgressPage();

  DUI_DECLARE_MESSAGE_MAP()

 protected:
  const wchar_t* GetWindowClassName() const override;
  UINT GetClassStyle() const override;
  void OnFinalMessage(HWND hwnd) override;
  void InitWindow() override;
  std::wstring GetSkinFolder() override;
  std::wstring GetSkinFile() override;
  LRESULT OnDestroy(UINT msg, WPARAM wparam, LPARAM lparam, BOOL& handled) override;
  void Notify(DuiLib::TNotifyUI& msg) override;

 private:
  // The pre-install check; shows its error box and returns false on failure.
  bool checkBeforeInstall();
  // Applies the folder rule to a typed or picked text and shows the result.
  void applyFolder(const std::wstring& text);
  void onInstallTick();
  void stopInstallTimer();
  bool customMode() const;
  void setText(const wchar_t* control, const std::wstring& text);

  UINT_PTR installTimerId = 0;
  int installTick = 0;
  ProtocolWnd* protocolWnd = nullptr;
  // The model while it exists: null from OnDestroy on, so nothing here can
  // bring up a new one during the end of the run.
  ZQDownloaderModel* model_ = nullptr;
  std::function<void()> onGone_;
};
