#include "model/zq_downloader_model.h"

#include "app/main_thread_dispatcher.h"
#include "app/single_instance.h"
#include "model/launch_params.h"
#include "model/registry_value.h"
#include "utility/log.h"
#include "utility/runable.h"

namespace {

ZQDownloaderModel* g_model = nullptr;

model::Tuning& tuningOverride() {
  static model::Tuning tuning = model::defaultTuning();
  return tuning;
}

constexpr unsigned kWorkerStopMs = 1000;

}  // namespace

ZQDownloaderModel* ZQDownloaderModel::instance() {
  if (!g_model) g_model = new ZQDownloaderModel();
  return g_model;
}

bool ZQDownloaderModel::hasInstance() { return g_model != nullptr; }

void ZQDownloaderModel::destroyInstance() {
  ZQDownloaderModel* model = g_model;
  if (!model) return;
  g_model = nullptr;
  model->shutdown();
  if (model->runningWorkers_.load() > 0) {
    // A worker outlived its time-out: it may still use the model, so the
    // model stays until the process ends.
    ZQ_LOG("ZQDownloaderModel::destroyInstance", L"a worker is still running, model kept alive");
    return;
  }
  delete model;
}

void ZQDownloaderModel::setTuningForTest(const model::Tuning& tuning) { tuningOverride() = tuning; }

ZQDownloaderModel::ZQDownloaderModel()
    : tuning_(tuningOverride()), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ZQDownloaderModel::~ZQDownloaderModel() { shutdown(); }

void ZQDownloaderModel::init() {
  tuning_ = tuningOverride();
  std::wstring modulePath = tuning_.modulePath;
  if (modulePath.empty()) {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    modulePath.assign(buffer, length < MAX_PATH ? length : MAX_PATH);
  }
  model::LaunchParams params = model::parseLaunchParams(modulePath);
  {
    std::lock_guard<std::mutex> lock(resultsLock_);
    openID_ = params.openID;
    package_ = params.package;
  }
  registryVersion_ = readRegistryVersion();
  _calcInstallPath();
  startGetPlayerUrl();
}

bool ZQDownloaderModel::popupExistPwnd() { return popupExistingInstance(instanceMutex); }

std::wstring ZQDownloaderModel::readRegistryVersion() {
  return model::readPlayerRegistryValue(L"Version");
}

void ZQDownloaderModel::_calcInstallPath() {
  installPath = model::readPlayerRegistryValue(L"InstallDir");
  registryInstallDir_ = installPath;
  ZQ_LOG("ZQDownloaderModel::_calcInstallPath", L"read from reg: path is %s", installPath.c_str());
  if (!installPath.empty()) {
    installPathFromRegistry_ = true;
    return;
  }
  installPath = model::getMaxFreeSpaceDrive() + model::kVendorFolder + model::kPlayerFolder;
  ZQ_LOG("ZQDownloaderModel::_calcInstallPath", L"get install path from MaxFreeSpace: %s",
         installPath.c_str());
}

std::wstring ZQDownloaderModel::makeInstallFolder(const std::wstring& chosen) {
  std::wstring next;
  if (model::applyFolderRule(chosen, installPath, next)) installPath = next;
  return installPath;
}

model::InstallCheck ZQDownloaderModel::checkBeforeInstall(bool licenceAccepted) const {
  if (!licenceAccepted) return model::InstallCheck::LicenceNotAccepted;
  bool valid = model::isValidInstallPath(installPath);
  return model::checkInstallRule(licenceAccepted, valid, valid ? model::getFreeSpaceMB(installPath) : 0);
}

std::wstring ZQDownloaderModel::openID() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  return openID_;
}
std::wstring ZQDownloaderModel::package() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  return package_;
}
std::wstring ZQDownloaderModel::playerUrl() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  return playerUrl_;
}
std::wstring ZQDownloaderModel::playerVersion() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  return playerVersion_;
}
std::string ZQDownloaderModel::playerMd5() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  return playerMd5_;
}

void ZQDownloaderModel::startWorker(WorkerSlot& slot, void (ZQDownloaderModel::*body)()) {
  if (shutDown_) return;
  ++runningWorkers_;
  if (!slot.start(new MemberFuncRunable<ZQDownloaderModel>(this, body))) --runningWorkers_;
}

bool ZQDownloaderModel::pause(unsigned ms) {
  if (stopping()) return false;
  WaitForSingleObject(stopEvent_.get(), ms);
  return !stopping();
}

void ZQDownloaderModel::postToUi(std::function<void()> task) {
  CMainThreadDispatcher* dispatcher = CMainThreadDispatcher::instance();
  if (!dispatcher) {
    ZQ_LOG("ZQDownloaderModel::postToUi", L"no dispatcher, event dropped");
    return;
  }
  dispatcher->post(ownerKey(), makeTask(std::move(task)));
}

void ZQDownloaderModel::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  stopping_ = true;
  if (stopEvent_) SetEvent(stopEvent_.get());
  instanceMutex.reset();
  // Blocked network calls return once their clients are closed.
  queryClient.close();
  infoClient.close();
  downloadClient.close();
  queryWorker.stop(kWorkerStopMs);
  installWorker.stop(kWorkerStopMs);
  downloadWorker.stop(kWorkerStopMs);
  downloadClient.close();
  CMainThreadDispatcher* dispatcher = CMainThreadDispatcher::instance();
  if (dispatcher) {
    if (retryTimerId != 0) {
      UINT_PTR id = retryTimerId;
      retryTimerId = 0;
      dispatcher->killTimer(id);
    }
    dispatcher->cancel(ownerKey());
  }
  progressCallback = nullptr;
  downloadDoneCallback = nullptr;
  installDoneCallback = nullptr;
}
