// Behaviour seen from outside the process: the fatal layout box with exit
// code 1, and the "_xp" path under Wine's winxp version setting.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/duilib/test_support.h"

namespace {

struct Child {
  PROCESS_INFORMATION pi{};
  bool started = false;
  ~Child() {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
};

bool Start(Child& c, const std::wstring& exe, const std::wstring& arg) {
  std::wstring cmd = L"\"" + exe + L"\" " + arg;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  c.started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &c.pi) != FALSE;
  return c.started;
}

DWORD WaitExit(Child& c, DWORD ms) {
  if (WaitForSingleObject(c.pi.hProcess, ms) != WAIT_OBJECT_0) return 0xFFFFFFFF;
  DWORD code = 0;
  GetExitCodeProcess(c.pi.hProcess, &code);
  return code;
}

struct FindBox {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<FindBox*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t title[64] = {};
  GetWindowTextW(hwnd, title, 64);
  if (pid == f->pid && std::wstring(title) == L"Duilib") {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Text of the box's message: the static control that holds it.
BOOL CALLBACK CollectText(HWND hwnd, LPARAM lp) {
  wchar_t text[128] = {};
  GetWindowTextW(hwnd, text, 128);
  *reinterpret_cast<std::wstring*>(lp) += text;
  *reinterpret_cast<std::wstring*>(lp) += L"|";
  return TRUE;
}

}  // namespace

TEST(Process, UnloadableLayoutShowsTheBoxThenExitsWithOne) {
  for (const wchar_t* mode : {L"missing", L"broken"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(mode)));
    Child c;
    ASSERT_TRUE(Start(c, duitest::ExeFolder() + L"duilib_probe.exe", mode));
    FindBox f{c.pi.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !f.found; ++i) {
      EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&f));
      if (!f.found) Sleep(50);
    }
    ASSERT_NE(f.found, nullptr) << "no message box";
    std::wstring texts;
    EnumChildWindows(f.found, CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.find(L"加载资源文件失败"), std::wstring::npos);
    // The process waits for the box.
    EXPECT_EQ(WaitForSingleObject(c.pi.hProcess, 200), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageW(f.found, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitExit(c, 10000), 1u);
  }
}

TEST(Process, XpLayoutsAndNoLayeredWindowUnderWinxp) {
  const std::wstring dir = duitest::ExeFolder();
  // Wine's per-program version setting touches only this copy's name.
  const std::wstring xpExe = dir + L"duilib_probe_xp.exe";
  ASSERT_TRUE(CopyFileW((dir + L"duilib_probe.exe").c_str(), xpExe.c_str(), FALSE));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\duilib_probe_xp.exe", 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t winxp[] = L"winxp";
  RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(winxp), sizeof(winxp));
  RegCloseKey(key);

  DWORD xpCode = 0, defaultCode = 0;
  {
    Child c;
    ASSERT_TRUE(Start(c, xpExe, L"osver"));
    xpCode = WaitExit(c, 30000);
  }
  {
    Child c;
    ASSERT_TRUE(Start(c, dir + L"duilib_probe.exe", L"osver"));
    defaultCode = WaitExit(c, 30000);
  }
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\duilib_probe_xp.exe");
  DeleteFileW(xpExe.c_str());
  if (xpCode == 3 || defaultCode == 3) GTEST_SKIP() << "skin archive not embedded";
  EXPECT_EQ(xpCode, (5u << 4) | 4u) << "major 5, _xp layout, no layered window, no region";
  EXPECT_GE(defaultCode >> 4, 6u);
  EXPECT_EQ(defaultCode & 7u, 3u) << "layered with a region, main layout";
}
