#include "app/downloader_impl.h"

#include <string>

#include "app/instance_ids.h"
#include "model/zq_downloader_model.h"
#include "ui/zq_downloader_mainframe.h"
#include "utility/log.h"
#include "utility/usystem.h"

namespace {

constexpr UINT kIconResourceId = 131;

// The folder holding the program file, without its last separator.
std::wstring programFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n < MAX_PATH ? n : MAX_PATH);
  size_t cut = p.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : p.substr(0, cut);
}

}  // namespace

bool ZQDownloaderImpl::entrance() {
  ZQDownloaderModel* model = ZQDownloaderModel::instance();
  if (model->popupExistPwnd()) return false;

  ZQ_LOG("ZQDownloaderImpl::entrance", L"player path is %s", programFolder().c_str());
  model->init();
  showMainFrame();
  if (!mainFrame) return false;  // no window, no loop: the run ends here
  ipcWindow.create(kInstanceGuid, this);
  return true;
}

void ZQDownloaderImpl::showMainFrame() {
  ZQ_LOG("ZQDownloaderImpl::showMainFrame", L"player, create main window...");
  if (mainFrameGone_) return;
  if (!mainFrame) {
    auto* frame = new ZQDownloaderMainFrame([this] { onMainFrameGone(); });
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!utility::usystem::isVistaOrLater()) style |= WS_SYSMENU | WS_THICKFRAME;
    if (!frame->Create(nullptr, nullptr, style, 0)) {
      // The object may already have deleted itself with its failed window;
      // it is never touched again.
      ZQ_LOG("ZQDownloaderImpl::showMainFrame", L"create main window failed!!! lastError = %d",
             static_cast<int>(GetLastError()));
      return;
    }
    mainFrame = frame;
    frame->SetIcon(kIconResourceId);
    frame->CenterWindow();
  }
  HWND hwnd = mainFrame->GetHWND();
  mainFrame->ShowWindow(true, true);
  SetForegroundWindow(hwnd);
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  utility::usystem::showWndOnTop(hwnd);
}

void ZQDownloaderImpl::onMainFrameGone() {
  mainFrame = nullptr;
  mainFrameGone_ = true;
}

LRESULT ZQDownloaderImpl::onHandleWindowIPC(UINT msg, WPARAM, LPARAM) {
  ZQ_LOG("ZQDownloaderImpl::onHandleWindowIPC", L"onHandleWindowIPC, msg = %d", static_cast<int>(msg));
  if (msg == MSG_SHOW_MAINFRAME) showMainFrame();
  return 0;
}
