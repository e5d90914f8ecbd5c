#include "ui/zq_downloader_mainframe.h"

#include <shlobj.h>

#include <cstdio>
#include <utility>

#include "app/main_thread_dispatcher.h"
#include "duilib/edit.h"
#include "duilib/label.h"
#include "duilib/option.h"
#include "duilib/progress.h"
#include "duilib/tab_layout.h"
#include "model/install_path.h"
#include "model/zq_downloader_model.h"
#include "ui/layout_file.h"
#include "ui/message_box.h"
#include "ui/protocol_wnd.h"
#include "utility/log.h"
#include "utility/runable.h"
#include "utility/usystem.h"

DUI_BEGIN_MESSAGE_MAP(ZQDownloaderMainFrame, WindowImplBase)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"installnowbtn", onInstallNowClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"userdefinitionBtn", onCustomInstallClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"backBtn", onBackClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_KILLFOCUS, L"pathedit", onPathEditKillFocus)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"browsebtn", onBrowseClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"protocollinkbtn", onLicenceLinkClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"addQQGroupBtn", onChatGroupClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_CLICK, L"closebtn", onCloseClick)
  DUI_ON_MSGTYPE_CTRNAME(DUI_MSGTYPE_SELECTCHANGED, L"acceptprotocolopt", onAcceptOptionChanged)
DUI_END_MESSAGE_MAP()

namespace {

constexpr wchar_t kWindowText[] = L"Zavrian下载器";
// The product's user chat group, in the messaging client's own URL scheme.
constexpr wchar_t kChatGroupUrl[] =
    L"tencent://groupwpa/?subcmd=all&uin=810315960";
constexpr UINT kInstallTickMs = 1500;
constexpr int kLastInstallTick = 22;  // the bar stops at 75 + 22 = 97
constexpr int kProgressPage = 2;

constexpr wchar_t kErrorEditImage[] = L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'";
constexpr wchar_t kEditNormalImage[] = L"file='browse_button.png' source='0,0,10,10' corner='4,4,4,4'";
constexpr wchar_t kEditHotImage[] = L"file='browse_button.png' source='10,0,20,10' corner='4,4,4,4'";
constexpr wchar_t kEditFocusedImage[] = L"file='browse_button.png' source='20,0,30,10' corner='4,4,4,4'";

template <class T>
T* as(DuiLib::CControlUI* control, const wchar_t* interfaceName) {
  return control ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

// Pre-selects "C:" when the folder picker opens.
int CALLBACK browseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM) {
  if (msg == BFFM_INITIALIZED) {
    SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(L"C:"));
  }
  return 0;
}

}  // namespace

ZQDownloaderMainFrame::ZQDownloaderMainFrame(std::function<void()> onGone)
    : onGone_(std::move(onGone)) {}

ZQDownloaderMainFrame::~ZQDownloaderMainFrame() = default;

const wchar_t* ZQDownloaderMainFrame::GetWindowClassName() const { return L"updateMainframe"; }

UINT ZQDownloaderMainFrame::GetClassStyle() const {
  return CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
}

std::wstring ZQDownloaderMainFrame::GetSkinFolder() { return L""; }

std::wstring ZQDownloaderMainFrame::GetSkinFile() {
  return layoutFileFor(L"mainframe");
}

void ZQDownloaderMainFrame::Notify(DuiLib::TNotifyUI& msg) { WindowImplBase::Notify(msg); }

void ZQDownloaderMainFrame::InitWindow() {
  SetWindowTextW(GetHWND(), kWindowText);
  model_ = ZQDownloaderModel::instance();
  refreshPathState();
  setText(L"pathedit", model_->getInstallPath());
  model_->downloadDoneCallback = [this] { onDownloadDone(); };
  model_->progressCallback = [this](int percent, int received, int total) {
    onProgress(percent, received, total);
  };
  model_->installDoneCallback = [this](bool success) { onInstallDone(success); };
}

void ZQDownloaderMainFrame::setText(const wchar_t* control, const std::wstring& text) {
  if (DuiLib::CControlUI* c = FindControl(control)) c->SetText(text);
}

bool ZQDownloaderMainFrame::customMode() const {
  DuiLib::CControlUI* button = FindControl(L"userdefinitionBtn");
  return button && !button->IsVisible();
}

void ZQDownloaderMainFrame::refreshPathState() {
  if (!model_) return;
  const std::wstring& path = model_->installPath;
  bool valid = model::isValidInstallPath(path);
  auto* edit = as<DuiLib::CEditUI>(FindControl(L"pathedit"), L"Edit");
  if (edit && edit->GetText() != path) edit->SetText(path);
  if (DuiLib::CControlUI* notice = FindControl(L"errorpathnoticeui")) notice->SetVisible(!valid);
  auto* accept = as<DuiLib::COptionUI>(FindControl(L"acceptprotocolopt"), L"Option");
  if (DuiLib::CControlUI* install = FindControl(L"installnowbtn")) {
    install->SetEnabled(valid && accept && accept->IsSelected());
  }
  showCustomOptions(customMode());
  if (edit) {
    edit->SetNormalImage(valid ? kEditNormalImage : kErrorEditImage);
    edit->SetHotImage(valid ? kEditHotImage : kErrorEditImage);
    edit->SetFocusedImage(valid ? kEditFocusedImage : kErrorEditImage);
  }
}

void ZQDownloaderMainFrame::showCustomOptions(bool show) {
  auto visible = [this](const wchar_t* name, bool v) {
    if (DuiLib::CControlUI* c = FindControl(name)) c->SetVisible(v);
  };
  visible(L"userdefinitionsui", show);
  visible(L"userdefinitionBtn", !show);
  visible(L"backBtn", show);
  visible(L"direction_right", !show);
  visible(L"direction_left", show);
  setText(L"installnowbtn", show ? L"立即安装" : L"快速安装");
}

void ZQDownloaderMainFrame::showProgressPage() {
  if (auto* tab = as<DuiLib::CTabLayoutUI>(FindControl(L"maintab"), L"TabLayout")) {
    tab->SelectItem(kProgressPage);
  }
  showCustomOptions(customMode());
}

bool ZQDownloaderMainFrame::checkBeforeInstall() {
  if (!model_) return false;
  auto* accept = as<DuiLib::COptionUI>(FindControl(L"acceptprotocolopt"), L"Option");
  model::InstallCheck result = model_->checkBeforeInstall(accept && accept->IsSelected());
  if (result == model::InstallCheck::Ok) return true;
  msg::showErrorBox(GetHWND(), model::kInstallCheckTitle, model::installCheckMessage(result),
                    msg::ButtonInfo());
  return false;
}

// ---- handlers ------------------------------------------------------------------

void ZQDownloaderMainFrame::onInstallNowClick(DuiLib::TNotifyUI&) {
  if (!checkBeforeInstall()) return;
  showProgressPage();
  model_->startDownloadPlayer();
}

void ZQDownloaderMainFrame::onCustomInstallClick(DuiLib::TNotifyUI&) { showCustomOptions(true); }

void ZQDownloaderMainFrame::onBackClick(DuiLib::TNotifyUI&) { showCustomOptions(false); }

void ZQDownloaderMainFrame::applyFolder(const std::wstring& text) {
  if (!model_ || text == model_->installPath) return;
  setText(L"pathedit", model_->makeInstallFolder(text));
  refreshPathState();
}

void ZQDownloaderMainFrame::onPathEditKillFocus(DuiLib::TNotifyUI& msg) {
  if (msg.pSender) applyFolder(msg.pSender->GetText());
}

void ZQDownloaderMainFrame::onBrowseClick(DuiLib::TNotifyUI&) {
  wchar_t buffer[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = GetHWND();
  info.pszDisplayName = buffer;
  info.lpszTitle = L"请选择安装路径：";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  info.lpfn = browseCallback;
  PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
  if (!picked) return;
  bool ok = SHGetPathFromIDListW(picked, buffer);
  CoTaskMemFree(picked);
  // The window may have gone while the picker ran its own loop.
  if (ok && model_) applyFolder(buffer);
}

void ZQDownloaderMainFrame::onLicenceLinkClick(DuiLib::TNotifyUI&) {
  if (!protocolWnd) {
    auto* wnd = new ProtocolWnd;
    if (!wnd->Create(GetHWND(), L"protocolWnd", WS_POPUP | WS_BORDER | WS_SYSMENU, 0)) {
      delete wnd;
      return;
    }
    wnd->CenterWindow();
    wnd->setCloseCallback([this] { protocolWnd = nullptr; });
    protocolWnd = wnd;
  }
  protocolWnd->ShowWindow(true, true);
}

void ZQDownloaderMainFrame::onChatGroupClick(DuiLib::TNotifyUI&) {
  utility::usystem::openUrl(kChatGroupUrl);
}

void ZQDownloaderMainFrame::onCloseClick(DuiLib::TNotifyUI&) {
  ZQ_LOG("ZQDownloaderMainFrame::onCloseClick", L"ask before closing");
  msg::showMessageBox(GetHWND(), L"", L"操作提示", L"确定要停止安装模拟器？",
                      msg::ButtonInfo(L"确定",
                                      [this] {
                                        ZQ_LOG("ZQDownloaderMainFrame::onCloseClick", L"stop confirmed");
                                        Close(1);
                                        PostQuitMessage(0);
                                      },
                                      false),
                      msg::ButtonInfo(L"取消", nullptr, true));
}

void ZQDownloaderMainFrame::onAcceptOptionChanged(DuiLib::TNotifyUI&) { refreshPathState(); }

// ---- model events --------------------------------------------------------------

void ZQDownloaderMainFrame::onProgress(int percent, int received, int total) {
  if (percent == -1) {
    setText(L"loadingprogresslabel", L"正在获取版本信息...");
    setText(L"downloadProgressLabel", L"");
    return;
  }
  if (received == 0 || total == 0) return;

  wchar_t amount[48];
  if (received < 1024) {
    _snwprintf(amount, 48, L"%dB", received);
  } else if (received < 1048576) {
    _snwprintf(amount, 48, L"%0.2fKB", static_cast<double>(static_cast<float>(received) / 1024.0f));
  } else {
    _snwprintf(amount, 48, L"%0.2fM", static_cast<double>(static_cast<float>(received) / 1048576.0f));
  }
  amount[47] = 0;
  if (total < 0) {
    // Length not announced: only the amount so far means anything.
    setText(L"downloadProgressLabel", amount);
    return;
  }
  wchar_t text[96];
  _snwprintf(text, 96, L"%s/%0.2fM", amount,
             static_cast<double>(static_cast<float>(total) / 1048576.0f));
  text[95] = 0;
  setText(L"downloadProgressLabel", text);

  wchar_t label[48];
  _snwprintf(label, 48, L"正在下载（%d%%）", percent);
  label[47] = 0;
  setText(L"loadingprogresslabel", label);

  int p = (percent == 1 || percent == 2) ? 3 : percent;
  if (auto* bar = as<DuiLib::CProgressUI>(FindControl(L"installprogressbar"), L"Progress")) {
    bar->SetValue(static_cast<int>(p * 0.75));
  }
}

void ZQDownloaderMainFrame::stopInstallTimer() {
  if (installTimerId != 0) {
    if (CMainThreadDispatcher* d = CMainThreadDispatcher::instance()) d->killTimer(installTimerId);
    installTimerId = 0;
  }
}

void ZQDownloaderMainFrame::onDownloadDone() {
  setText(L"loadingprogresslabel", L"正在安装, 请稍等~");
  if (DuiLib::CControlUI* amount = FindControl(L"downloadProgressLabel")) amount->SetVisible(false);
  stopInstallTimer();
  if (model_) model_->startInstallPlayer();
  if (CMainThreadDispatcher* d = CMainThreadDispatcher::instance()) {
    installTimerId = d->setTimer(kInstallTickMs, makeTask([this] { onInstallTick(); }));
  }
  installTick = 0;
}

void ZQDownloaderMainFrame::onInstallTick() {
  if (installTick >= kLastInstallTick) installTick = kLastInstallTick;
  if (auto* bar = as<DuiLib::CProgressUI>(FindControl(L"installprogressbar"), L"Progress")) {
    bar->SetValue(installTick + 75);
  }
  ++installTick;
}

void ZQDownloaderMainFrame::onInstallDone(bool success) {
  stopInstallTimer();
  if (success) {
    if (auto* bar = as<DuiLib::CProgressUI>(FindControl(L"installprogressbar"), L"Progress")) {
      bar->SetValue(99);
    }
  }
  if (model_) model_->startPlayer();
  PostQuitMessage(0);
}

// ---- end of the window ---------------------------------------------------------

LRESULT ZQDownloaderMainFrame::OnDestroy(UINT msg, WPARAM wparam, LPARAM lparam, BOOL& handled) {
  ZQ_LOG("ZQDownloaderMainFrame::OnDestroy", L"main window destroyed, model shutdown");
  // The ticker's task points at this object, which is about to go.
  stopInstallTimer();
  if (model_) {
    model_->downloadDoneCallback = nullptr;
    model_->progressCallback = nullptr;
    model_->installDoneCallback = nullptr;
  }
  model_ = nullptr;
  ZQDownloaderModel::destroyInstance();
  return WindowImplBase::OnDestroy(msg, wparam, lparam, handled);
}

void ZQDownloaderMainFrame::OnFinalMessage(HWND hwnd) {
  WindowImplBase::OnFinalMessage(hwnd);
  std::function<void()> onGone = std::move(onGone_);
  delete this;
  if (onGone) onGone();
  PostQuitMessage(0);
}
