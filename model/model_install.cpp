// The installer hand-off (installer worker) and the emulator start.
#include "model/installer_run.h"
#include "model/zq_downloader_model.h"
#include "utility/log.h"
#include "utility/process.h"
#include "utility/usystem.h"

namespace {
const wchar_t* const kPlayerProcesses[] = {L"zqplayer.exe", L"zqmultiplayer.exe", L"zqupdate.exe",
                                           L"bugreport.exe"};
}  // namespace

void ZQDownloaderModel::startInstallPlayer() {
  if (!installWorker.hasThread()) installFolder_ = installPath;
  startWorker(installWorker, &ZQDownloaderModel::_threadInstallPlayer);
}

void ZQDownloaderModel::killPlayerProcesses() {
  // By full path: a bare name would be searched in this program's own
  // folder (often Downloads) first.
  std::wstring folder = utility::usystem::systemFolder();
  if (folder.empty()) {
    ZQ_LOG("ZQDownloaderModel::killPlayerProcesses", L"no system folder, processes not stopped");
    return;
  }
  const std::wstring taskkill = folder + L"\\taskkill.exe";
  for (const wchar_t* name : kPlayerProcesses) {
    if (stopping()) return;
    model::runProcess(taskkill, std::wstring(L"/F /IM ") + name + L" /T", tuning_.taskkillTimeoutMs,
                      stopEvent_.get());
  }
}

void ZQDownloaderModel::_threadInstallPlayer() {
  WorkerRun run(runningWorkers_);
  const std::wstring folder = installFolder_;
  std::string digest;
  {
    std::lock_guard<std::mutex> lock(resultsLock_);
    digest = handoffDigest_;
  }
  const std::wstring params = L"-silence -downloader -openid=" + openID() + L" -path=" + folder;
  const std::wstring installer = folder + L"\\zvinst.exe";
  killPlayerProcesses();
  bool success = !stopping() && model::runVerifiedInstaller(installer, params, digest,
                                                           tuning_.installerTimeoutMs, stopEvent_.get());
  ZQ_LOG("ZQDownloaderModel::_threadInstallPlayer", L"_threadProcInstallPlayer install zqpayer end. sucess = %d",
         success ? 1 : 0);
  postToUi([this, success] {
    if (!shutDown_ && installDoneCallback) installDoneCallback(success);
  });
}

void ZQDownloaderModel::startPlayer() {
  std::wstring name = package();
  std::wstring params = name.empty() ? std::wstring() : L"downloadpackage=" + name + L"|package=" + name;
  // Shown normally: a program honouring its show command would otherwise
  // start invisible.
  utility::process::shellWithShowState(installPath + L"\\zqplayer.exe", params, SW_SHOWNORMAL);
}
