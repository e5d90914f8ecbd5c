// The installer workflow: launch parameters, install folder, version query,
// download with digest reuse, installer hand-off. One model per process,
// created and driven on the UI (main) thread; its three workers report back
// only through tasks posted to the UI-thread dispatcher under ownerKey().
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "model/install_path.h"
#include "model/model_config.h"
#include "utility/handle.h"
#include "utility/http/http_client_wrapper.h"
#include "utility/worker_slot.h"

class ZQDownloaderModel final : public utility::CHttpClientWrapper::IHttpDownloadSink {
 public:
  // The single model, created on first call. UI thread.
  static ZQDownloaderModel* instance();
  // True while the single model exists. UI thread.
  static bool hasInstance();
  // Shuts the model down (once) and destroys it; the next instance() makes a
  // new one. A worker still running after its time-out keeps the model alive
  // (it is then left to the end of the process, never freed under it).
  // UI thread; harmless when there is no model.
  static void destroyInstance();

  // Test hook: endpoints, pauses and time-outs used by models created (or
  // initialised) afterwards. Call before instance()/init().
  static void setTuningForTest(const model::Tuning& tuning);

  // Start-up: launch parameters from the program file name, registry
  // Version, default install folder, then the version query on its worker.
  // UI thread, once, after popupExistPwnd returned false.
  void init();

  // Single-instance test: true when another instance runs (it has been asked
  // to show itself; the caller must end); false when this process is the
  // first (the mutex is then held until shutdown).
  bool popupExistPwnd();

  // Copy of installPath. UI thread.
  std::wstring getInstallPath() const { return installPath; }
  // model::isValidInstallPath of installPath (the window's path state). UI thread.
  bool isInstallPathValid() const { return model::isValidInstallPath(installPath); }

  // The folder rule for a typed or picked folder text: sets installPath and
  // returns it (unchanged when `chosen` equals installPath). The window
  // shows the result and refreshes its path state. UI thread.
  std::wstring makeInstallFolder(const std::wstring& chosen);

  // Pre-install check of installPath: which message applies (Ok when the
  // install may start). licenceAccepted: the licence box is ticked. The
  // window shows model::installCheckMessage(result) in its error box.
  model::InstallCheck checkBeforeInstall(bool licenceAccepted) const;

  // Install button (after checkBeforeInstall gave Ok): waits at most
  // fallbackDelayMs for the version service, then the up-to-date shortcut
  // (downloadDoneCallback at once) or the download worker. UI thread.
  void startDownloadPlayer();
  // Installed emulator current: kept folder, version not older, both
  // executables present. UI thread.
  bool isPlayerUpToDate() const;
  // After downloadDoneCallback: stops the emulator processes and runs the
  // full installer on its worker; installDoneCallback(success) follows.
  void startInstallPlayer();
  // Starts the installed emulator (with the channel package, if any), shown
  // normally. UI thread.
  void startPlayer();

  // End of run, once (later calls do nothing): closes the mutex and the HTTP
  // clients, stops the workers (1000 ms each), kills a pending fallback
  // timer and cancels the model's queued tasks. Callbacks never run after
  // it. UI thread.
  void shutdown();

  // Set by the main window; invoked only on the UI thread.
  std::function<void(int percent, int received, int total)> progressCallback;  // percent -1: checking an existing file
  std::function<void()> downloadDoneCallback;
  std::function<void(bool success)> installDoneCallback;

  // The install folder; the main window writes it directly (UI thread),
  // until the install button.
  std::wstring installPath;

  // Results and parameters, safe to read on any thread (the registry ones
  // are fixed by init, before any worker starts).
  std::wstring openID() const;
  std::wstring package() const;
  std::wstring playerUrl() const;
  std::wstring playerVersion() const;
  std::string playerMd5() const;
  std::wstring registryVersion() const { return registryVersion_; }
  std::wstring registryInstallDir() const { return registryInstallDir_; }
  bool installPathFromRegistry() const { return installPathFromRegistry_; }

  // Registry value Version of the installed emulator ("" when missing).
  static std::wstring readRegistryVersion();
  // Sets package from a game-info reply (UTF-8 JSON); a name that is not
  // made of letters, digits, '.', '_' and '-' counts as none.
  void parseGameInfo(const std::string& body);

  // IHttpDownloadSink: throttled progress to the UI thread (download worker).
  bool onDownloadProgress(const char* data, int length, int received, int total) override;

  // Key of this model's tasks at the UI-thread dispatcher.
  uintptr_t ownerKey() const { return reinterpret_cast<uintptr_t>(&ownerTag_); }

  ZQDownloaderModel(const ZQDownloaderModel&) = delete;
  ZQDownloaderModel& operator=(const ZQDownloaderModel&) = delete;

 private:
  ZQDownloaderModel();
  ~ZQDownloaderModel();

  struct DownloadJob {
    std::wstring url;
    std::string digest;  // applies to url; "" when none is known for it
  };

  void _calcInstallPath();
  void startGetPlayerUrl();
  void _threadGetPlayerUrl();
  void _getPackageByOpenID();
  void _threadDownloadPlayer();
  void _threadInstallPlayer();
  void killPlayerProcesses();
  void onFallbackTimer();
  void fallBackNow();
  DownloadJob snapshotJob() const;
  // Pauses ms; false when shutdown began (the caller ends).
  bool pause(unsigned ms);
  bool stopping() const { return stopping_.load(); }
  void postToUi(std::function<void()> task);
  void postProgress(int percent, int received, int total);

  // Starts `body` on `slot`, counting it as running until the body returns,
  // so destruction never frees a model a worker still runs on.
  void startWorker(WorkerSlot& slot, void (ZQDownloaderModel::*body)());
  class WorkerRun {
   public:
    explicit WorkerRun(std::atomic<int>& count) : count_(count) {}
    ~WorkerRun() { --count_; }
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;

   private:
    std::atomic<int>& count_;
  };

  char ownerTag_ = 0;
  model::Tuning tuning_;
  WorkerSlot queryWorker;
  WorkerSlot installWorker;
  WorkerSlot downloadWorker;
  utility::CHttpClientWrapper queryClient;
  utility::CHttpClientWrapper infoClient;
  utility::CHttpClientWrapper downloadClient;
  utility::UniqueHandle instanceMutex;
  utility::UniqueHandle stopEvent_;  // manual reset, set by shutdown
  std::atomic<bool> stopping_{false};
  std::atomic<int> runningWorkers_{0};
  bool shutDown_ = false;  // UI thread

  std::wstring registryVersion_;
  std::wstring registryInstallDir_;
  bool installPathFromRegistry_ = false;

  // Written by the query worker and the UI thread; guarded by resultsLock_.
  mutable std::mutex resultsLock_;
  std::wstring openID_ = L"100";
  std::wstring playerUrl_;
  std::wstring package_;
  std::wstring playerVersion_;
  std::string playerMd5_;
  std::wstring digestUrl_;    // the url announced together with playerMd5_
  std::string handoffDigest_;  // what the installer file must match; "" = none known

  // Folders fixed by the UI thread before each worker starts.
  std::wstring downloadFolder_;
  std::wstring installFolder_;

  UINT_PTR retryTimerId = 0;      // UI thread
  DWORD lastProgressTick = 0;     // download worker
};
