// The installer workflow end to end against the simulator and the stand-in
// installer, with this thread as the UI thread.
#include <gtest/gtest.h>

#include "app/main_thread_dispatcher.h"
#include "tests/model/flow_harness.h"
#include "utility/md5.h"

using flow::Event;
using flow::Harness;

namespace {

// Download, install and player start of a model that is already started.
void installAndStartPlayer(Harness& h, bool expectSuccess = true) {
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::DownloadDone) == 1; }, 30000));
  h.model->startInstallPlayer();
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::InstallDone) == 1; }, 40000));
  EXPECT_EQ(h.firstEvent(Event::InstallDone)->success, expectSuccess);
  h.model->startPlayer();
}

std::string waitRecord(Harness& h, const wchar_t* name) {
  h.pumpUntil([&] { return h.record(name).find("end\n") != std::string::npos; }, 15000);
  return h.record(name);
}

TEST(ModelFlow, PlainInstall) {
  Harness h;
  ZQDownloaderModel* m = h.start();
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_EQ(m->openID(), L"100");
  EXPECT_EQ(h.simCount("/getGameInfo2"), 0);
  m->installPath = h.folder + L"\\";
  m->startDownloadPlayer();
  installAndStartPlayer(h);

  std::string args = h.record(L"zvinst_args.txt");
  std::string folderUtf8(h.folder.begin(), h.folder.end());
  EXPECT_NE(args.find("args=-silence -downloader -openid=100 -path=" + folderUtf8 + "\\\n"), std::string::npos)
      << args;
  EXPECT_TRUE(flow::fileExists(h.folder + L"\\zqplayer.exe"));
  EXPECT_EQ(Harness::readRegistry(L"InstallDir"), h.folder + L"\\");
  std::string player = waitRecord(h, L"zqplayer_args.txt");
  EXPECT_NE(player.find("args=\n"), std::string::npos) << player;
  EXPECT_NE(player.find("show=1\n"), std::string::npos) << player;  // SW_SHOWNORMAL

  // The stop commands ran before the installer, in their fixed order, by
  // the system folder's taskkill.
  const wchar_t* names[] = {L"zqplayer.exe", L"zqmultiplayer.exe", L"zqupdate.exe", L"bugreport.exe"};
  int last = -1;
  for (const wchar_t* name : names) {
    int at = h.log.indexOf(std::wstring(L"param = [/F /IM ") + name + L" /T]");
    EXPECT_GT(at, last) << name;
    last = at;
  }
  EXPECT_LT(last, h.log.indexOf(L"param = [-silence -downloader"));
  for (const auto& line : h.log.lines()) {
    if (line.message.find(L"/F /IM") != std::wstring::npos) {
      EXPECT_NE(line.message.find(L"\\system32\\taskkill.exe]"), std::wstring::npos) << line.message;
    }
  }
  EXPECT_EQ(h.queryEnds(), 1);
}

TEST(ModelFlow, ChannelInstallLooksUpPackageAndPassesIt) {
  Harness h;
  // A browser's copy suffix does not hide the channel.
  ZQDownloaderModel* m = h.start(L"C:\\dl\\x_zv_123456 (1).exe");
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_EQ(m->openID(), L"123456");
  EXPECT_EQ(m->package(), L"com.example.game");
  EXPECT_EQ(h.simCount("/getGameInfo2?appid=123456"), 1);
  m->installPath = h.folder;
  m->startDownloadPlayer();
  installAndStartPlayer(h);
  EXPECT_NE(h.record(L"zvinst_args.txt").find("openid=123456\n"), std::string::npos);
  std::string player = waitRecord(h, L"zqplayer_args.txt");
  EXPECT_NE(player.find("args=downloadpackage=com.example.game|package=com.example.game\n"), std::string::npos)
      << player;
}

TEST(ModelFlow, UnsafePackageFromGameInfoCountsAsNone) {
  Harness h;
  ZQDownloaderModel* m = h.start(L"C:\\dl\\x_zv_333333.exe");
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_EQ(h.simCount("/getGameInfo2?appid=333333"), 1);
  EXPECT_EQ(m->package(), L"");
  EXPECT_TRUE(h.log.has(L"package ignored"));
}

TEST(ModelFlow, ShortOpenIdMakesNoLookupAndNonObjectReplyEndsQuery) {
  Harness h;
  h.sim("set?version_down=500");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\x_zv_1234.exe");
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_EQ(m->openID(), L"1234");
  EXPECT_EQ(h.simCount("/zv/zavrian"), 3);
  EXPECT_EQ(h.simCount("/getGameInfo2"), 0);
  EXPECT_EQ(m->playerUrl(), L"");
}

TEST(ModelFlow, NonObjectVersionReplyEndsTheQueryWithoutLookup) {
  Harness h;
  h.sim("set?version_array=1");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\x_zv_123456.exe");
  ASSERT_TRUE(h.pumpUntil([&] { return h.log.has(L"version reply is not a JSON object"); }, 15000));
  h.pumpFor(500);
  EXPECT_EQ(h.simCount("/getGameInfo2"), 0);
  EXPECT_EQ(h.queryEnds(), 0);
  EXPECT_EQ(m->playerUrl(), L"");
  EXPECT_EQ(m->package(), L"");
}

// A download that cannot be moved into place is a failed attempt.
TEST(ModelFlow, FailedMoveIsAFailedAttempt) {
  Harness h;
  CreateDirectoryW(h.folder.c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryW((h.folder + L"\\zvinst.exe").c_str(), nullptr));
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.log.has(L"download end"); }, 60000));
  h.pumpFor(200);
  EXPECT_EQ(h.log.count(L"download xxx"), 6);
  EXPECT_EQ(h.countEvents(Event::DownloadDone), 0);
}

TEST(ModelFlow, DigestReuseSkipsTheDownload) {
  Harness h;
  CreateDirectoryW(h.folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(h.fixturePayload().c_str(), (h.folder + L"\\zvinst.exe").c_str(), FALSE));
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  installAndStartPlayer(h);
  ASSERT_FALSE(h.events.empty());
  // The digest check announces itself as percent -1 before the done event.
  EXPECT_EQ(h.events[0].kind, Event::Progress);
  EXPECT_EQ(h.events[0].percent, -1);
  EXPECT_EQ(h.events[0].received, 1);
  EXPECT_EQ(h.events[0].total, 1);
  EXPECT_EQ(h.events[1].kind, Event::DownloadDone);
  EXPECT_TRUE(h.log.has(L"is the same md5"));
  EXPECT_EQ(h.simCount("/download/"), 0);
}

TEST(ModelFlow, UpperCaseDigestDownloadsAgainThenInstalls) {
  Harness h;
  h.sim("set?upper_md5=1");
  CreateDirectoryW(h.folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(h.fixturePayload().c_str(), (h.folder + L"\\zvinst.exe").c_str(), FALSE));
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  installAndStartPlayer(h);
  EXPECT_FALSE(h.log.has(L"is the same md5"));
  EXPECT_EQ(h.simCount("/download/player/zvinst.exe"), 1);
  EXPECT_NE(h.record(L"zvinst_args.txt").find("openid=100"), std::string::npos);
}

TEST(ModelFlow, WrongDigestFailsSixTimesAndNeverRunsTheFile) {
  Harness h;
  h.sim("set?wrong_md5=1");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.log.has(L"download end"); }, 60000));
  h.pumpFor(200);
  EXPECT_EQ(h.log.count(L"download xxx"), 6);
  EXPECT_EQ(h.log.count(L"differs from the announced"), 6);
  EXPECT_EQ(h.simCount("/download/player/zvinst.exe"), 6);
  EXPECT_EQ(h.countEvents(Event::DownloadDone), 0);
  EXPECT_FALSE(flow::fileExists(h.folder + L"\\zvinst.exe"));
}

// The up-to-date shortcut: kept folder, version not older, both programs
// present. No download; the hand-off still checks the file it would run.
TEST(ModelFlow, UpToDateShortcutChecksTheInstallerItRuns) {
  Harness h;
  CreateDirectoryW(h.folder.c_str(), nullptr);
  for (const wchar_t* name : {L"\\zqplayer.exe", L"\\zqmultiplayer.exe"}) {
    ASSERT_TRUE(CopyFileW(h.fixturePayload().c_str(), (h.folder + name).c_str(), FALSE));
  }
  // A planted installer that is not the announced one (still runnable).
  std::string bytes = flow::readFile(h.fixturePayload());
  bytes += "tampered";
  HANDLE file = CreateFileW((h.folder + L"\\zvinst.exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  Harness::setRegistry(h.folder + L"\\", L"5");
  ZQDownloaderModel* m = h.start();
  EXPECT_EQ(m->installPath, h.folder + L"\\");
  EXPECT_TRUE(m->installPathFromRegistry());
  ASSERT_TRUE(h.waitQueryDone());
  m->startDownloadPlayer();
  // Delivered at once, synchronously.
  EXPECT_EQ(h.countEvents(Event::DownloadDone), 1);
  m->startInstallPlayer();
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::InstallDone) == 1; }, 30000));
  EXPECT_FALSE(h.firstEvent(Event::InstallDone)->success);
  EXPECT_EQ(h.record(L"zvinst_args.txt"), "");
  EXPECT_EQ(h.simCount("/download/"), 0);
  EXPECT_TRUE(h.log.has(L"installer not run"));
}

TEST(ModelFlow, UpToDateShortcutRunsTheMatchingInstaller) {
  Harness h;
  CreateDirectoryW(h.folder.c_str(), nullptr);
  for (const wchar_t* name : {L"\\zqplayer.exe", L"\\zqmultiplayer.exe", L"\\zvinst.exe"}) {
    ASSERT_TRUE(CopyFileW(h.fixturePayload().c_str(), (h.folder + name).c_str(), FALSE));
  }
  Harness::setRegistry(h.folder, L"6");
  ZQDownloaderModel* m = h.start();
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_TRUE(m->isPlayerUpToDate());
  Harness::setRegistry(h.folder, L"4");
  ZQDownloaderModel::destroyInstance();
  ZQDownloaderModel* older = h.start();
  ASSERT_TRUE(h.waitQueryDone(15000, 2));
  EXPECT_FALSE(older->isPlayerUpToDate());
  Harness::setRegistry(h.folder, L"5");
  ZQDownloaderModel::destroyInstance();
  ZQDownloaderModel* current = h.start();
  ASSERT_TRUE(h.waitQueryDone(15000, 3));
  current->startDownloadPlayer();
  EXPECT_EQ(h.countEvents(Event::DownloadDone), 1);
  current->startInstallPlayer();
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::InstallDone) == 1; }, 30000));
  EXPECT_TRUE(h.firstEvent(Event::InstallDone)->success);
  EXPECT_EQ(h.simCount("/download/"), 0);
}

TEST(ModelFlow, FallbackAfterThreeSeconds) {
  Harness h;
  h.sim("set?delay_version=8");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\setup.exe", 3000);
  m->installPath = h.folder;
  DWORD pressed = GetTickCount();
  m->startDownloadPlayer();
  EXPECT_TRUE(h.log.has(L"start downloader. bug getting player url"));
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::DownloadDone) == 1; }, 20000));
  DWORD waited = h.firstEvent(Event::DownloadDone)->tick - pressed;
  EXPECT_GE(waited, 2900u);
  EXPECT_LT(waited, 7000u);
  EXPECT_EQ(h.simCount("/download/release/zvinst.exe"), 1);
  h.pumpFor(3500);  // the timer does not fire again
  EXPECT_EQ(h.simCount("/download/"), 1);
  EXPECT_EQ(h.log.count(L"start download player playerurl is"), 1);
}

// The answer arrived while the timer waited: the fallback uses it, digest
// and all.
TEST(ModelFlow, FallbackTimerTakesTheServiceUrlThatArrivedMeanwhile) {
  Harness h;
  h.sim("set?delay_version=0.5");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\setup.exe", 1500);
  m->installPath = h.folder;
  m->startDownloadPlayer();
  EXPECT_TRUE(h.log.has(L"start downloader. bug getting player url"));
  installAndStartPlayer(h);
  EXPECT_EQ(h.simCount("/download/release/"), 0);
  EXPECT_EQ(h.simCount("/download/player/zvinst.exe"), 1);
}

UINT_PTR refuseTimer(HWND, UINT_PTR, UINT) { return 0; }

TEST(ModelFlow, RefusedFallbackTimerFallsBackAtOnce) {
  Harness h;
  h.sim("set?delay_version=8");
  CMainThreadDispatcher::setSystemHooksForTest(nullptr, &refuseTimer);
  ZQDownloaderModel* m = h.start(L"C:\\dl\\setup.exe", 3000);
  m->installPath = h.folder;
  DWORD pressed = GetTickCount();
  m->startDownloadPlayer();
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::DownloadDone) == 1; }, 20000));
  EXPECT_LT(h.firstEvent(Event::DownloadDone)->tick - pressed, 2500u);
  EXPECT_EQ(h.simCount("/download/release/zvinst.exe"), 1);
  CMainThreadDispatcher::setSystemHooksForTest(nullptr, nullptr);
}

// A digest announced without its URL does not vouch for the fallback URL.
TEST(ModelFlow, FallbackDownloadHasNoDigestToCheck) {
  Harness h;
  h.sim("set?no_url=1&wrong_md5=1");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\setup.exe", 300);
  ASSERT_TRUE(h.waitQueryDone());
  EXPECT_FALSE(m->playerMd5().empty());
  m->installPath = h.folder;
  m->startDownloadPlayer();
  installAndStartPlayer(h);
  EXPECT_EQ(h.simCount("/download/release/zvinst.exe"), 1);
}

TEST(ModelFlow, FourthAttemptSucceedsOverTheSocket) {
  Harness h;
  h.sim("set?fail_downloads=3");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  installAndStartPlayer(h);
  EXPECT_EQ(h.log.count(L"download xxx"), 4);
  EXPECT_EQ(h.simCount("/download/player/zvinst.exe"), 4);
}

TEST(ModelFlow, NotFoundSixTimesEndsWithoutEvent) {
  Harness h;
  h.sim("set?always_404=1");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.log.has(L"download end"); }, 60000));
  h.pumpFor(300);
  EXPECT_EQ(h.log.count(L"download xxx"), 6);
  EXPECT_TRUE(h.events.empty());
}

TEST(ModelFlow, InstallerExitCodeOneIsAFailure) {
  Harness h;
  SetEnvironmentVariableW(L"ZQ_FIXTURE_EXIT_CODE", L"1");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  installAndStartPlayer(h, false);
  EXPECT_NE(h.record(L"zvinst_args.txt").find("role=zvinst"), std::string::npos);
  EXPECT_TRUE(h.log.has(L"sucess = 0"));
}

TEST(ModelFlow, FolderWithSpaceIsPassedUnquoted) {
  Harness h;
  h.folder += L"\\Program Files\\zq player";
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  installAndStartPlayer(h);
  std::string folderUtf8(h.folder.begin(), h.folder.end());
  std::string args = h.record(L"zvinst_args.txt");
  EXPECT_NE(args.find("path=" + folderUtf8 + "\n"), std::string::npos) << args;
  EXPECT_TRUE(flow::fileExists(h.folder + L"\\zqmultiplayer.exe"));
}

TEST(ModelFlow, UnknownLengthProgressIsThrottled) {
  Harness h;
  h.sim("set?chunked=1");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::DownloadDone) == 1; }, 30000));
  int progress = h.countEvents(Event::Progress);
  EXPECT_GE(progress, 1);
  EXPECT_LE(progress, 3);
  for (const auto& e : h.events) {
    if (e.kind != Event::Progress) continue;
    EXPECT_EQ(e.total, -1);
    EXPECT_GE(e.percent, 0);
    EXPECT_LE(e.percent, 100);
  }
}

TEST(ModelFlow, ShutdownDuringQueryIsPromptAndDropsEvents) {
  Harness h;
  h.sim("set?delay_version=20");
  ZQDownloaderModel* m = h.start(L"C:\\dl\\setup.exe", 60000);
  m->installPath = h.folder;
  m->startDownloadPlayer();  // waits on the fallback timer
  h.pumpFor(300);
  DWORD before = GetTickCount();
  ZQDownloaderModel::destroyInstance();
  EXPECT_LT(GetTickCount() - before, 2500u);
  EXPECT_FALSE(ZQDownloaderModel::hasInstance());
  h.pumpFor(300);
  EXPECT_TRUE(h.events.empty());
}

// Closing during a download: prompt, no queued progress reaches the (gone)
// window, and the worker ends without using freed memory.
TEST(ModelFlow, ShutdownDuringDownloadIsPrompt) {
  Harness h;
  h.sim("set?slow_body=30");
  ASSERT_NE(h.startAndPressInstall(), nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::Progress) >= 1; }, 15000));
  DWORD before = GetTickCount();
  ZQDownloaderModel::destroyInstance();
  EXPECT_LT(GetTickCount() - before, 2500u);
  size_t seen = h.events.size();
  h.pumpFor(1500);
  EXPECT_EQ(h.events.size(), seen);
  // A read blocked in the network stack may outlast the 1 s stop: the model
  // is then kept, and the worker still ends cleanly on it, making no new
  // attempt.
  ASSERT_TRUE(h.pumpUntil([&] { return h.log.has(L"download end"); }, 10000));
  EXPECT_EQ(h.log.count(L"download xxx"), 1);
}

// Closing while the installer runs: the wait ends at once, the installer
// keeps running on its own, the model is freed.
TEST(ModelFlow, ShutdownDuringInstallerRunIsPrompt) {
  Harness h;
  SetEnvironmentVariableW(L"ZQ_FIXTURE_SLEEP_MS", L"15000");
  ZQDownloaderModel* m = h.startAndPressInstall();
  ASSERT_NE(m, nullptr);
  ASSERT_TRUE(h.pumpUntil([&] { return h.countEvents(Event::DownloadDone) == 1; }, 30000));
  m->startInstallPlayer();
  ASSERT_TRUE(h.pumpUntil([&] { return h.record(L"zvinst_args.txt").find("end\n") != std::string::npos; },
                          30000));
  DWORD before = GetTickCount();
  ZQDownloaderModel::destroyInstance();
  EXPECT_LT(GetTickCount() - before, 1500u);
  EXPECT_TRUE(h.log.has(L"execute abandoned at shutdown"));
  EXPECT_FALSE(h.log.has(L"model kept alive"));
  h.pumpFor(300);
  EXPECT_EQ(h.countEvents(Event::InstallDone), 0);
  SetEnvironmentVariableW(L"ZQ_FIXTURE_SLEEP_MS", nullptr);
}

}  // namespace
