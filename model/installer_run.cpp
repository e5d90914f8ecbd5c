#include "model/installer_run.h"

#include <vector>

#include "model/player_info.h"
#include "utility/encoding.h"
#include "utility/handle.h"
#include "utility/log.h"
#include "utility/md5.h"
#include "utility/process.h"

namespace model {

namespace {

bool waitForProcess(const char* function, HANDLE process, unsigned timeoutMs, HANDLE abortEvent) {
  HANDLE handles[2] = {process, abortEvent};
  DWORD count = abortEvent ? 2 : 1;
  DWORD wait = WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
  if (wait == WAIT_OBJECT_0) {
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(process, &exitCode);
    ZQ_LOG(function, L"execute exitcode = %d lastError = %d", static_cast<int>(exitCode),
           static_cast<int>(GetLastError()));
    return exitCode == 0;
  }
  if (wait == WAIT_TIMEOUT) {
    ZQ_LOG(function, L"execute timeout!!!");
    return false;
  }
  if (wait == WAIT_OBJECT_0 + 1) {
    ZQ_LOG(function, L"execute abandoned at shutdown, process left running");
    return false;
  }
  ZQ_LOG(function, L"execute failed!!! lastError = %d", static_cast<int>(GetLastError()));
  return false;
}

bool startAndWait(const char* function, const std::wstring& file, const std::wstring& params,
                  unsigned timeoutMs, HANDLE abortEvent, utility::UniqueFile* guard) {
  utility::UniqueHandle process(utility::process::create(file, params));
  if (guard) guard->reset();  // the process has started (or failed): the file may change again
  if (!process) {
    ZQ_LOG(function, L"execute failed!!! last error = %d", static_cast<int>(GetLastError()));
    return false;
  }
  return waitForProcess(function, process.get(), timeoutMs, abortEvent);
}

}  // namespace

std::string digestOfOpenFile(HANDLE file) {
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::string();
  utility::Md5Context context;
  std::vector<char> buffer(1 << 20);
  unsigned long long total = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return std::string();
    }
    if (got == 0) break;
    context.update(buffer.data(), got);
    total += got;
  }
  if (total == 0) return std::string();
  context.finish();
  char hex[33] = {};
  context.toHex(hex);
  return hex;
}

bool runProcess(const std::wstring& file, const std::wstring& params, unsigned timeoutMs,
                HANDLE abortEvent) {
  const char* function = "ZQDownloaderModel::runProcess";
  ZQ_LOG(function, L"execute filename = [%s], param = [%s], show = %d, timeout = %d", file.c_str(),
         params.c_str(), 0, static_cast<int>(timeoutMs));
  return startAndWait(function, file, params, timeoutMs, abortEvent, nullptr);
}

utility::UniqueFile openVerified(const char* function, const std::wstring& file, const std::string& digest) {
  utility::UniqueFile guard(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!guard) {
    ZQ_LOG(function, L"installer not run, cannot open it. lastError = %d", static_cast<int>(GetLastError()));
    return guard;
  }
  std::string actual = digestOfOpenFile(guard.get());
  if (!digestsMatchNoCase(actual, digest)) {
    ZQ_LOG(function, L"installer not run, digest %s differs from the announced %s",
           utility::utf8ToWide(actual).c_str(), utility::utf8ToWide(digest).c_str());
    guard.reset();
  }
  return guard;
}

bool runVerifiedInstaller(const std::wstring& file, const std::wstring& params,
                          const std::string& digest, unsigned timeoutMs, HANDLE abortEvent) {
  const char* function = "ZQDownloaderModel::runInstaller";
  ZQ_LOG(function, L"execute filename = [%s], param = [%s], show = %d, timeout = %d", file.c_str(),
         params.c_str(), 0, static_cast<int>(timeoutMs));
  utility::UniqueFile guard;
  if (!digest.empty()) {
    guard = openVerified(function, file, digest);
    if (!guard) return false;
  }
  return startAndWait(function, file, params, timeoutMs, abortEvent, digest.empty() ? nullptr : &guard);
}

}  // namespace model
