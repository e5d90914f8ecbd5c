#include <gtest/gtest.h>

#include <windows.h>

#include "tests/runtime/test_support.h"
#include "utility/handle.h"
#include "utility/process.h"

namespace {

std::wstring childPath() { return rt::exeFolder() + L"\\rt_child.exe"; }

// Points the child's report at a fresh file; returns its path.
std::wstring reportFile(const wchar_t* tag) {
  const std::wstring path = rt::freshTempFolder(tag) + L"\\report.txt";
  SetEnvironmentVariableW(L"ZQ_RT_CHILD_OUT", path.c_str());
  return path;
}

// Waits for the child's report: {pid, command line}.
std::pair<DWORD, std::wstring> waitReport(const std::wstring& path) {
  std::wstring text;
  for (int i = 0; i < 500 && text.empty(); ++i) {
    text = rt::readFileText(path);
    if (text.empty()) Sleep(10);
  }
  const auto newline = text.find(L'\n');
  if (newline == std::wstring::npos) return {0, L""};
  return {static_cast<DWORD>(std::stoul(text.substr(0, newline))), text.substr(newline + 1)};
}

}  // namespace

TEST(ProcessExecute, ResultFollowsTheExitCode) {
  struct Case {
    const wchar_t* params;
    bool expected;
    const wchar_t* exitLine;
  };
  const Case cases[] = {
      {L"exit 0", true, L"execute exitcode = 0 lastError = "},
      {L"exit 1", false, L"execute exitcode = 1 lastError = "},
      {L"exit 259", false, L"execute exitcode = 259 lastError = "},
  };
  for (const auto& c : cases) {
    rt::LogCapture log;
    EXPECT_EQ(utility::process::execute(childPath(), c.params, false, 10000), c.expected) << c.params;
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].function, "utility::process::execute");
    EXPECT_EQ(lines[0].message, L"execute filename = [" + childPath() + L"], param = [" + c.params +
                                    L"], show = 0, timeout = 10000");
    EXPECT_EQ(lines[1].function, "utility::process::create");
    EXPECT_EQ(lines[1].message,
              L"createProcess filename = [" + childPath() + L"], param = [" + c.params + L"], show = 0");
    EXPECT_EQ(lines[2].message.rfind(c.exitLine, 0), 0u) << lines[2].message;
  }
}

TEST(ProcessExecute, TimeOutReturnsFalseAndLeavesTheProgramRunning) {
  const std::wstring report = reportFile(L"timeout");
  rt::LogCapture log;
  const ULONGLONG before = GetTickCount64();
  EXPECT_FALSE(utility::process::execute(childPath(), L"sleep 30000", false, 300));
  EXPECT_LT(GetTickCount64() - before, 5000u);
  EXPECT_TRUE(log.contains(L"execute timeout!!!"));
  EXPECT_FALSE(log.contains(L"execute exitcode = 0 lastError = 0"));

  const DWORD pid = waitReport(report).first;
  ASSERT_NE(pid, 0u);
  utility::UniqueHandle child(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
  ASSERT_TRUE(child.valid());
  EXPECT_EQ(WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program keeps running";
  TerminateProcess(child.get(), 9);
  WaitForSingleObject(child.get(), 5000);
}

TEST(ProcessCreate, CommandLineIsTheQuotedFileAndTheParametersUnchanged) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"", L"\"" + childPath() + L"\""},  // no trailing space
      {L"a  \"b c\" ", L"\"" + childPath() + L"\" a  \"b c\" "},
  };
  for (const auto& [params, expected] : cases) {
    const std::wstring report = reportFile(L"cmdline");
    utility::UniqueHandle process(utility::process::create(childPath(), params));
    ASSERT_TRUE(process.valid());
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(waitReport(report).second, expected);
  }
}

TEST(ProcessCreate, MissingProgramGivesNullAndBothFailureTexts) {
  rt::LogCapture log;
  const std::wstring missing = rt::exeFolder() + L"\\no_such_program.exe";
  EXPECT_EQ(utility::process::create(missing, L""), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(log.contains(L"createProcess failed!!! lastError = 2"));

  EXPECT_FALSE(utility::process::execute(missing, L"x", false, 1000));
  const auto lines = log.lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().function, "utility::process::execute");
  EXPECT_EQ(lines.back().message, L"execute failed!!! last error = 2");
}

TEST(ProcessShell, StartsElevatedHiddenAndLogsFailures) {
  const std::wstring report = reportFile(L"shell");
  rt::LogCapture log;
  EXPECT_TRUE(utility::process::shell(childPath(), L"exit 0"));
  ASSERT_FALSE(log.lines().empty());
  EXPECT_EQ(log.lines()[0].function, "utility::process::shell");
  EXPECT_EQ(log.lines()[0].message, L"shell filename = [" + childPath() + L"], param = [exit 0], runas = 1, show = 0");
  EXPECT_NE(waitReport(report).first, 0u) << "the program ran";

  rt::LogCapture shown;
  EXPECT_TRUE(utility::process::shellWithShowState(childPath(), L"exit 0", SW_SHOWNORMAL));
  ASSERT_FALSE(shown.lines().empty());
  EXPECT_EQ(shown.lines()[0].function, "utility::process::shellWithShowState");
  EXPECT_EQ(shown.lines()[0].message, L"shell filename = [" + childPath() + L"], param = [exit 0], runas = 1, show = 1");

  rt::LogCapture failed;
  EXPECT_FALSE(utility::process::shell(rt::exeFolder() + L"\\no_such_program.exe", L""));
  const auto lines = failed.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].message.rfind(L"shellEx failed!!! lastError = ", 0), 0u) << lines[1].message;
}
