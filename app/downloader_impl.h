// The application object: single-instance test, model start-up, the main
// window and the IPC window through which a second instance raises it.
// Lives on the stack of wWinMain; UI (main) thread only.
#pragma once

#include <windows.h>

#include "app/window_ipc.h"

class ZQDownloaderMainFrame;

class ZQDownloaderImpl : public utility::IWindowIPCHandle {
 public:
  ZQDownloaderImpl() = default;
  ZQDownloaderImpl(const ZQDownloaderImpl&) = delete;
  ZQDownloaderImpl& operator=(const ZQDownloaderImpl&) = delete;

  // True when this process is the only instance and its window is up (run
  // the message loop); false when another instance runs (it has been asked
  // to show itself; nothing was started here).
  bool entrance();

  // Creates the main window on first use, then shows and raises it. Once
  // the main window has been destroyed it does nothing more: the run is
  // ending, and a new window would bring up a new model.
  void showMainFrame();

  // IPC window: 11123 shows the main window; everything else is logged. 0.
  LRESULT onHandleWindowIPC(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  // The main window object is about to delete itself.
  void onMainFrameGone();

  ZQDownloaderMainFrame* mainFrame = nullptr;  // owned by its window
  bool mainFrameGone_ = false;
  CWindowIPC ipcWindow;
};
