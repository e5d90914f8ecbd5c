// Install button to installer file: fallback timer, up-to-date shortcut,
// digest reuse, six download attempts, throttled progress.
#include <cwchar>

#include "app/main_thread_dispatcher.h"
#include "model/player_info.h"
#include "model/zq_downloader_model.h"
#include "utility/encoding.h"
#include "utility/log.h"
#include "utility/md5.h"
#include "utility/runable.h"
#include "utility/strings.h"
#include "utility/ufile.h"

namespace {
constexpr int kDownloadAttempts = 6;
constexpr int kFirstSocketAttempt = 3;
constexpr DWORD kProgressIntervalMs = 1000;
}  // namespace

void ZQDownloaderModel::startDownloadPlayer() {
  if (shutDown_) return;
  if (playerUrl().empty()) {
    ZQ_LOG("ZQDownloaderModel::startDownloadPlayer", L"start downloader. bug getting player url");
    if (retryTimerId != 0) return;  // one fallback is already waiting
    CMainThreadDispatcher* dispatcher = CMainThreadDispatcher::instance();
    retryTimerId = dispatcher ? dispatcher->setTimer(tuning_.fallbackDelayMs,
                                                     makeTask([this] { onFallbackTimer(); }))
                              : 0;
    if (retryTimerId == 0) {
      // Without a timer the fallback would never come: take it now.
      ZQ_LOG("ZQDownloaderModel::startDownloadPlayer", L"fallback timer refused, falling back now");
      fallBackNow();
    }
    return;
  }
  if (isPlayerUpToDate()) {
    {
      std::lock_guard<std::mutex> lock(resultsLock_);
      handoffDigest_ = playerMd5_;
    }
    if (downloadDoneCallback) downloadDoneCallback();
    return;
  }
  // The worker reads the folder once; a refused second start must not
  // rewrite it under a running worker.
  if (!downloadWorker.hasThread()) downloadFolder_ = installPath;
  startWorker(downloadWorker, &ZQDownloaderModel::_threadDownloadPlayer);
}

void ZQDownloaderModel::onFallbackTimer() {
  // killTimer frees the task running this: take the id first, and touch
  // nothing of the task afterwards.
  UINT_PTR id = retryTimerId;
  retryTimerId = 0;
  fallBackNow();
  if (CMainThreadDispatcher* dispatcher = CMainThreadDispatcher::instance()) dispatcher->killTimer(id);
}

void ZQDownloaderModel::fallBackNow() {
  queryClient.close();
  {
    std::lock_guard<std::mutex> lock(resultsLock_);
    if (playerUrl_.empty()) playerUrl_ = model::fallbackInstallerUrl(tuning_);
  }
  startDownloadPlayer();
}

bool ZQDownloaderModel::isPlayerUpToDate() const {
  std::wstring version = playerVersion();
  if (installPath.empty() || version.empty()) return false;
  if (!pathsEquivalent(installPath, registryInstallDir_)) return false;
  if (wcstol(registryVersion_.c_str(), nullptr, 10) < wcstol(version.c_str(), nullptr, 10)) return false;
  std::wstring player = installPath + L"\\zqplayer.exe";
  std::wstring multi = installPath;
  if (multi.empty() || multi.back() != L'\\') multi += L'\\';
  multi += L"zqmultiplayer.exe";
  return utility::ufile::fileExists(player) && utility::ufile::fileExists(multi);
}

ZQDownloaderModel::DownloadJob ZQDownloaderModel::snapshotJob() const {
  std::lock_guard<std::mutex> lock(resultsLock_);
  DownloadJob job;
  job.url = playerUrl_;
  // A digest vouches only for the URL announced with it.
  if (!playerMd5_.empty() && !digestUrl_.empty() && digestUrl_ == playerUrl_) job.digest = playerMd5_;
  return job;
}

void ZQDownloaderModel::_threadDownloadPlayer() {
  WorkerRun run(runningWorkers_);
  const char* function = "ZQDownloaderModel::_threadDownloadPlayer";
  const std::wstring folder = downloadFolder_;
  const std::wstring target = folder + L"\\zvinst.exe";
  const std::wstring temp = target + L".tmp";
  const DownloadJob job = snapshotJob();
  {
    std::lock_guard<std::mutex> lock(resultsLock_);
    handoffDigest_ = job.digest;
  }
  if (!utility::ufile::fileExists(folder)) utility::ufile::makeDir(folder);
  lastProgressTick = 0;

  if (!job.digest.empty() && utility::ufile::fileExists(target)) {
    ZQ_LOG(function, L"start calc md5");
    postProgress(-1, 1, 1);
    if (utility::md5OfFile(target) == job.digest) {
      ZQ_LOG(function, L"is the same md5");
      postToUi([this] {
        if (!shutDown_ && downloadDoneCallback) downloadDoneCallback();
      });
      return;
    }
  }

  ZQ_LOG(function, L"start download player playerurl is %s", job.url.c_str());
  downloadClient.connectionType = 0;
  for (int attempt = 0; attempt < kDownloadAttempts && !stopping(); ++attempt) {
    ZQ_LOG(function, L"download xxx");
    downloadClient.close();
    if (attempt == kFirstSocketAttempt) downloadClient.connectionType = 1;
    bool ok = downloadClient.download(job.url, temp, this);
    if (ok && !job.digest.empty()) {
      std::string actual = utility::md5OfFile(temp);
      if (!model::digestsMatchNoCase(actual, job.digest)) {
        ZQ_LOG(function, L"downloaded file digest %s differs from the announced %s",
               utility::utf8ToWide(actual).c_str(), utility::utf8ToWide(job.digest).c_str());
        ok = false;
      }
    }
    // A file that is not in place must not be taken for the new one.
    if (ok && !utility::ufile::moveFile(temp, target)) ok = false;
    if (ok) {
      postToUi([this] {
        if (!shutDown_ && downloadDoneCallback) downloadDoneCallback();
      });
      break;
    }
    if (!pause(tuning_.retryPauseMs)) break;
  }
  ZQ_LOG(function, L"download end");
}

bool ZQDownloaderModel::onDownloadProgress(const char*, int, int received, int total) {
  DWORD now = GetTickCount();
  bool last = total > 0 && received >= total;
  // Throttled also when the total is unknown: the message queue is finite.
  if (!last && now - lastProgressTick < kProgressIntervalMs) return true;
  lastProgressTick = now;
  postToUi([this, received, total] {
    if (!shutDown_ && progressCallback) progressCallback(model::progressPercent(received, total), received, total);
  });
  return true;
}

void ZQDownloaderModel::postProgress(int percent, int received, int total) {
  postToUi([this, percent, received, total] {
    if (!shutDown_ && progressCallback) progressCallback(percent, received, total);
  });
}
