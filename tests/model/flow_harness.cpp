#include "tests/model/flow_harness.h"

#include <wininet.h>

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <fstream>
#include <sstream>

#include "app/main_thread_dispatcher.h"
#include "model/registry_value.h"
#include "utility/log.h"

namespace flow {

namespace {

void removeTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

std::string httpGet(int port, const std::string& path) {
  std::string body;
  HINTERNET net = InternetOpenW(L"flow-harness", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!net) return body;
  std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + widen(path);
  HINTERNET req = InternetOpenUrlW(net, url.c_str(), nullptr, 0,
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                       INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES,
                                   0);
  if (req) {
    char buffer[8192];
    DWORD got = 0;
    while (InternetReadFile(req, buffer, sizeof(buffer), &got) && got > 0) body.append(buffer, got);
    InternetCloseHandle(req);
  }
  InternetCloseHandle(net);
  return body;
}

}  // namespace

std::wstring widen(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  std::string out;
  if (file == INVALID_HANDLE_VALUE) return out;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
  CloseHandle(file);
  return out;
}

Harness::Harness() {
  CMainThreadDispatcher::create();
  std::string portText = readFile(L"vendor_sim_model.port");
  port_ = atoi(portText.c_str());
  EXPECT_GT(port_, 0) << "simulator port file missing";
  sim("set?reset=1");
  sim("log?clear=1");
  clearRegistry();
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  root_ = std::wstring(temp) + L"zqmodel_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
          std::to_wstring(GetTickCount());
  CreateDirectoryW(root_.c_str(), nullptr);
  folder = root_ + L"\\inst";
  recordDir = root_ + L"\\rec";
  CreateDirectoryW(recordDir.c_str(), nullptr);
  SetEnvironmentVariableW(L"ZQ_FIXTURE_DIR", recordDir.c_str());
  SetEnvironmentVariableW(L"ZQ_FIXTURE_EXIT_CODE", nullptr);
}

Harness::~Harness() {
  ZQDownloaderModel::destroyInstance();
  pumpFor(50);
  clearRegistry();
  removeTree(root_);
}

std::string Harness::sim(const std::string& what) { return httpGet(port_, "/_sim/" + what); }

std::vector<std::string> Harness::simPaths() {
  std::vector<std::string> paths;
  rapidjson::Document doc;
  std::string body = sim("log");
  doc.Parse(body.c_str());
  if (!doc.IsArray()) return paths;
  for (const auto& e : doc.GetArray()) paths.emplace_back(e["path"].GetString());
  return paths;
}

int Harness::simCount(const std::string& path) {
  int n = 0;
  for (const auto& p : simPaths()) n += p.rfind(path, 0) == 0;
  return n;
}

ZQDownloaderModel* Harness::start(const std::wstring& modulePath, unsigned fallbackMs, unsigned pauseMs) {
  model::Tuning t = model::defaultTuning();
  t.resourceHost = L"127.0.0.1:" + std::to_wstring(port_);
  t.infoHost = t.resourceHost;
  t.retryPauseMs = pauseMs;
  t.fallbackDelayMs = fallbackMs;
  t.taskkillTimeoutMs = 5000;
  t.installerTimeoutMs = 30000;
  t.modulePath = modulePath;
  ZQDownloaderModel::setTuningForTest(t);
  model = ZQDownloaderModel::instance();
  model->progressCallback = [this](int percent, int received, int total) {
    events.push_back(Event{Event::Progress, percent, received, total, false, GetTickCount()});
  };
  model->downloadDoneCallback = [this] { events.push_back(Event{Event::DownloadDone, 0, 0, 0, false, GetTickCount()}); };
  model->installDoneCallback = [this](bool ok) {
    events.push_back(Event{Event::InstallDone, 0, 0, 0, ok, GetTickCount()});
  };
  model->init();
  return model;
}

bool Harness::pumpUntil(const std::function<bool()>& pred, unsigned timeoutMs) {
  DWORD startTick = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (pred()) return true;
    if (GetTickCount() - startTick >= timeoutMs) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

ZQDownloaderModel* Harness::startAndPressInstall() {
  ZQDownloaderModel* m = start();
  if (!waitQueryDone()) return nullptr;
  m->installPath = folder;
  m->startDownloadPlayer();
  return m;
}

bool Harness::waitQueryDone(unsigned timeoutMs, int count) {
  return pumpUntil([this, count] { return queryEnds() >= count; }, timeoutMs);
}

int Harness::countEvents(Event::Kind kind) const {
  int n = 0;
  for (const auto& e : events) n += e.kind == kind;
  return n;
}

const Event* Harness::firstEvent(Event::Kind kind) const {
  for (const auto& e : events) {
    if (e.kind == kind) return &e;
  }
  return nullptr;
}

std::wstring Harness::fixturePayload() const {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(L"..\\fixtures\\zvinst.exe", MAX_PATH, full, nullptr);
  return full;
}

std::string Harness::record(const wchar_t* name) const { return readFile(recordDir + L"\\" + name); }

void Harness::setRegistry(const std::wstring& installDir, const std::wstring& version) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, model::kPlayerRegistryKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                  nullptr);
  RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                 static_cast<DWORD>((installDir.size() + 1) * 2));
  RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>((version.size() + 1) * 2));
  RegCloseKey(key);
}

void Harness::clearRegistry() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tessarin2"); }

std::wstring Harness::readRegistry(const wchar_t* name) { return model::readPlayerRegistryValue(name); }

}  // namespace flow
