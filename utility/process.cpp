#include "utility/process.h"

#include <shellapi.h>

#include <vector>

#include "utility/handle.h"
#include "utility/log.h"
#include "utility/usystem.h"

namespace utility::process {

namespace {

bool shellExecute(const char* function, const std::wstring& file, const std::wstring& params, int showCmd) {
  ZQ_LOG(function, L"shell filename = [%s], param = [%s], runas = %d, show = %d", file.c_str(), params.c_str(), 1,
         showCmd);
  const wchar_t* verb = usystem::isVistaOrLater() ? L"runas" : L"open";
  HINSTANCE result = ShellExecuteW(nullptr, verb, file.c_str(), params.c_str(), nullptr, showCmd);
  if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  const DWORD error = GetLastError();
  ZQ_LOG(function, L"shellEx failed!!! lastError = %d", static_cast<int>(error));
  SetLastError(error);
  return false;
}

}  // namespace

bool shell(const std::wstring& file, const std::wstring& params) {
  return shellExecute("utility::process::shell", file, params, SW_HIDE);
}

bool shellWithShowState(const std::wstring& file, const std::wstring& params, int showCmd) {
  return shellExecute("utility::process::shellWithShowState", file, params, showCmd);
}

HANDLE create(const std::wstring& file, const std::wstring& params) {
  ZQ_LOG("utility::process::create", L"createProcess filename = [%s], param = [%s], show = %d", file.c_str(),
         params.c_str(), 0);
  std::wstring commandLine = L"\"" + file + L"\"";
  if (!params.empty()) commandLine += L" " + params;
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &info)) {
    const DWORD error = GetLastError();
    ZQ_LOG("utility::process::create", L"createProcess failed!!! lastError = %d", static_cast<int>(error));
    SetLastError(error);
    return nullptr;
  }
  UniqueHandle thread(info.hThread);
  return info.hProcess;
}

bool execute(const std::wstring& file, const std::wstring& params, bool /*show*/, unsigned timeoutMs) {
  ZQ_LOG("utility::process::execute", L"execute filename = [%s], param = [%s], show = %d, timeout = %d",
         file.c_str(), params.c_str(), 0, static_cast<int>(timeoutMs));
  UniqueHandle process(create(file, params));
  if (!process) {
    const DWORD error = GetLastError();
    ZQ_LOG("utility::process::execute", L"execute failed!!! last error = %d", static_cast<int>(error));
    SetLastError(error);
    return false;
  }
  bool ok = false;
  switch (WaitForSingleObject(process.get(), timeoutMs)) {
    case WAIT_OBJECT_0: {
      DWORD exitCode = 0xFFFFFFFF;  // stays so when the code cannot be read: a failure
      GetExitCodeProcess(process.get(), &exitCode);
      ZQ_LOG("utility::process::execute", L"execute exitcode = %d lastError = %d", static_cast<int>(exitCode),
             static_cast<int>(GetLastError()));
      ok = exitCode == 0;
      break;
    }
    case WAIT_TIMEOUT:
      ZQ_LOG("utility::process::execute", L"execute timeout!!!");
      break;
    default: {
      const DWORD error = GetLastError();
      ZQ_LOG("utility::process::execute", L"execute failed!!! lastError = %d", static_cast<int>(error));
      SetLastError(error);
      break;
    }
  }
  return ok;
}

}  // namespace utility::process
