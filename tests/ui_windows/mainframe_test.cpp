// The main window in this process on the display: what its labels, bar,
// buttons and path field show for the model's events and the user's choices.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_thread_dispatcher.h"
#include "duilib/control.h"
#include "duilib/edit.h"
#include "duilib/option.h"
#include "duilib/progress.h"
#include "model/zq_downloader_model.h"
#include "ui/skin/skin.h"
#include "ui/zq_downloader_mainframe.h"

namespace {

void pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) continue;  // the window's end posts it
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

class MainFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    duilibInit2(GetModuleHandleW(nullptr));
    CMainThreadDispatcher::create();
  }

  void SetUp() override {
    frame_ = new ZQDownloaderMainFrame([this] { gone_ = true; });
    ASSERT_NE(frame_->Create(nullptr, nullptr, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0), nullptr);
    frame_->ShowWindow(true, false);
    pump();
  }

  void TearDown() override {
    if (!gone_) DestroyWindow(frame_->GetHWND());
    pump();
    EXPECT_TRUE(gone_);
    EXPECT_FALSE(ZQDownloaderModel::hasInstance()) << "the window's end shuts the model down";
  }

  std::wstring text(const wchar_t* name) { return control(name)->GetText(); }
  DuiLib::CControlUI* control(const wchar_t* name) {
    DuiLib::CControlUI* c = frame_->FindControl(name);
    EXPECT_NE(c, nullptr) << "no control named " << std::string(name, name + wcslen(name));
    return c;
  }
  int bar() { return static_cast<DuiLib::CProgressUI*>(control(L"installprogressbar"))->GetValue(); }
  bool visible(const wchar_t* name) { return control(name)->IsVisible(); }
  bool installEnabled() { return control(L"installnowbtn")->IsEnabled(); }
  ZQDownloaderModel* model() { return ZQDownloaderModel::instance(); }

  // Leaves the path field with `typed` in it, as the user does.
  void typeFolder(const std::wstring& typed) {
    auto* edit = control(L"pathedit");
    edit->SetText(typed);
    DuiLib::TNotifyUI msg;
    msg.sType = DUI_MSGTYPE_KILLFOCUS;
    msg.pSender = edit;
    frame_->onPathEditKillFocus(msg);
  }

  ZQDownloaderMainFrame* frame_ = nullptr;
  bool gone_ = false;
};

struct ProgressCase {
  int percent, received, total;
  const wchar_t* loading;
  const wchar_t* amount;
  int bar;
};

TEST_F(MainFrameTest, ProgressEventsShowAmountPercentAndBar) {
  const int MiB = 1048576;
  const ProgressCase cases[] = {
      {0, 0, 20 * MiB, L"正在下载安装包", L"0/0M", 0},  // nothing received: unchanged
      {-1, 1, 1, L"正在获取版本信息...", L"", 0},        // checking an existing file
      {0, 512, MiB, L"正在下载（0%）", L"512B/1.00M", 0},
      {1, 2048, MiB, L"正在下载（1%）", L"2.00KB/1.00M", 2},
      {50, 10 * MiB, 20 * MiB, L"正在下载（50%）", L"10.00M/20.00M", 37},
      {100, 20 * MiB, 20 * MiB, L"正在下载（100%）", L"20.00M/20.00M", 75},
      {100, 3 * MiB, -1, L"正在下载（100%）", L"3.00M", 75},  // length unknown: amount only
  };
  for (const ProgressCase& c : cases) {
    frame_->onProgress(c.percent, c.received, c.total);
    SCOPED_TRACE(testing::Message() << c.percent << " " << c.received << " " << c.total);
    EXPECT_EQ(text(L"loadingprogresslabel"), c.loading);
    EXPECT_EQ(text(L"downloadProgressLabel"), c.amount);
    EXPECT_EQ(bar(), c.bar);
  }
}

TEST_F(MainFrameTest, CustomModeShowsPanelAndRenamesButton) {
  EXPECT_FALSE(visible(L"userdefinitionsui"));
  EXPECT_EQ(text(L"installnowbtn"), L"快速安装");
  DuiLib::TNotifyUI msg;
  frame_->onCustomInstallClick(msg);
  EXPECT_TRUE(visible(L"userdefinitionsui"));
  EXPECT_TRUE(visible(L"backBtn"));
  EXPECT_TRUE(visible(L"direction_left"));
  EXPECT_FALSE(visible(L"userdefinitionBtn"));
  EXPECT_FALSE(visible(L"direction_right"));
  EXPECT_EQ(text(L"installnowbtn"), L"立即安装");
  frame_->refreshPathState();  // keeps the mode
  EXPECT_EQ(text(L"installnowbtn"), L"立即安装");
  frame_->onBackClick(msg);
  EXPECT_FALSE(visible(L"userdefinitionsui"));
  EXPECT_TRUE(visible(L"userdefinitionBtn"));
  EXPECT_EQ(text(L"installnowbtn"), L"快速安装");
}

TEST_F(MainFrameTest, PathStateFollowsFolderAndLicenceBox) {
  DuiLib::TNotifyUI click;
  frame_->onCustomInstallClick(click);  // the panel with the field and the notice
  typeFolder(L"C:\\Games");
  EXPECT_EQ(model()->installPath, L"C:\\Games\\zqplayer2\\");
  EXPECT_EQ(text(L"pathedit"), L"C:\\Games\\zqplayer2\\");
  EXPECT_FALSE(visible(L"errorpathnoticeui"));
  EXPECT_TRUE(installEnabled());

  auto* accept = static_cast<DuiLib::COptionUI*>(control(L"acceptprotocolopt"));
  accept->Selected(false);  // raises "selectchanged" like a click
  EXPECT_FALSE(installEnabled());
  accept->Selected(true);
  EXPECT_TRUE(installEnabled());

  // A folder on a drive that does not exist: refused, and still given its
  // sub-folder after a separator.
  typeFolder(L"Q:\\no such drive");
  EXPECT_EQ(text(L"pathedit"), L"Q:\\no such drive\\zqplayer2\\");
  EXPECT_TRUE(visible(L"errorpathnoticeui"));
  EXPECT_FALSE(installEnabled());

  // Leaving the field unchanged changes nothing; a root gets both sub-folders.
  typeFolder(text(L"pathedit"));
  EXPECT_EQ(model()->installPath, L"Q:\\no such drive\\zqplayer2\\");
  typeFolder(L"C:\\");
  EXPECT_EQ(text(L"pathedit"), L"C:\\Tessarin\\zqplayer2\\");
  EXPECT_TRUE(installEnabled());
}

TEST_F(MainFrameTest, WindowTextAndModelCallbacksAreSet) {
  wchar_t title[64] = {};
  GetWindowTextW(frame_->GetHWND(), title, 64);
  EXPECT_STREQ(title, L"Zavrian下载器");
  ASSERT_TRUE(model()->progressCallback);
  model()->progressCallback(50, 1048576, 2097152);
  EXPECT_EQ(text(L"downloadProgressLabel"), L"1.00M/2.00M");
}

}  // namespace
