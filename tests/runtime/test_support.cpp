#include "tests/runtime/test_support.h"

#include <fstream>
#include <sstream>

namespace rt {

namespace {

std::mutex captureLock;
std::vector<LogLine> captured;

void captureSink(const char* function, int, const wchar_t* message) {
  std::lock_guard<std::mutex> guard(captureLock);
  captured.push_back({function, message});
}

}  // namespace

LogCapture::LogCapture() {
  std::lock_guard<std::mutex> guard(captureLock);
  captured.clear();
  utility::logSink = captureSink;
}

LogCapture::~LogCapture() { utility::logSink = nullptr; }

std::vector<LogLine> LogCapture::lines() const {
  std::lock_guard<std::mutex> guard(captureLock);
  return captured;
}

std::vector<std::wstring> LogCapture::messages() const {
  std::vector<std::wstring> out;
  for (const auto& line : lines()) out.push_back(line.message);
  return out;
}

bool LogCapture::contains(const std::wstring& message) const {
  for (const auto& line : lines())
    if (line.message == message) return true;
  return false;
}

std::wstring exeFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring freshTempFolder(const wchar_t* tag) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"zq_rt_" + tag + L"_" + std::to_wstring(GetCurrentProcessId()) +
                        L"_" + std::to_wstring(GetTickCount64());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring readFileText(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::wstring();
  std::wstring text;
  wchar_t buffer[1024];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got / sizeof(wchar_t));
  CloseHandle(file);
  return text;
}

}  // namespace rt
