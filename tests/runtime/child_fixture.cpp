// Child process for the process tests.
//   rt_child exit N     exits with code N
//   rt_child sleep MS   sleeps MS (at most 60 s), exits 0
// With ZQ_RT_CHILD_OUT set, it first writes "<pid>\n<command line>" (UTF-16)
// to that file, so a test sees the exact command line and can find it.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

int main() {
  wchar_t out[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ZQ_RT_CHILD_OUT", out, MAX_PATH) > 0) {
    std::wstring text = std::to_wstring(GetCurrentProcessId()) + L"\n" + GetCommandLineW();
    std::wstring part = std::wstring(out) + L".part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
      CloseHandle(file);
      MoveFileExW(part.c_str(), out, MOVEFILE_REPLACE_EXISTING);  // appears whole
    }
  }
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc >= 3) {
    const int value = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    if (std::wcscmp(argv[1], L"exit") == 0) return value;
    if (std::wcscmp(argv[1], L"sleep") == 0) {
      Sleep(value < 60000 ? static_cast<DWORD>(value) : 60000);
      return 0;
    }
  }
  return 0;
}
