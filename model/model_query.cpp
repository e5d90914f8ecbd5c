// The version query and the game-info lookup (query worker).
#include "model/launch_params.h"
#include "model/player_info.h"
#include "model/zq_downloader_model.h"
#include "utility/http/http_sinks.h"
#include "utility/log.h"

namespace {
constexpr int kQueryAttempts = 3;
constexpr size_t kMinOpenIdForLookup = 5;
}  // namespace

void ZQDownloaderModel::startGetPlayerUrl() {
  startWorker(queryWorker, &ZQDownloaderModel::_threadGetPlayerUrl);
}

void ZQDownloaderModel::_threadGetPlayerUrl() {
  WorkerRun run(runningWorkers_);
  const std::wstring url = model::versionServiceUrl(tuning_);
  std::string body;
  bool ok = false;
  for (int attempt = 0; attempt < kQueryAttempts && !stopping(); ++attempt) {
    body.clear();
    utility::CHttpDownload2MemSink sink(body);
    std::string headerText;
    int status = 0, total = 0;
    ok = queryClient.open(url, &sink) && queryClient.request(headerText, status, total) &&
         queryClient.recvBody(headerText, total);
    queryClient.close();
    if (ok) break;
    if (!pause(tuning_.retryPauseMs)) return;
  }
  if (ok) {
    model::VersionReply reply;
    if (!model::parseVersionReply(body, reply)) {
      ZQ_LOG("ZQDownloaderModel::_threadGetPlayerUrl", L"version reply is not a JSON object");
      return;
    }
    std::wstring urlText, versionText;
    {
      std::lock_guard<std::mutex> lock(resultsLock_);
      if (reply.version) playerVersion_ = *reply.version;
      if (reply.url) playerUrl_ = *reply.url;
      if (reply.md5) {
        playerMd5_ = *reply.md5;
        digestUrl_ = reply.url ? *reply.url : std::wstring();
      }
      urlText = playerUrl_;
      versionText = playerVersion_;
    }
    ZQ_LOG("ZQDownloaderModel::_threadGetPlayerUrl", L"get player url is %s  versin %s", urlText.c_str(),
           versionText.c_str());
  }
  if (stopping()) return;
  _getPackageByOpenID();
}

void ZQDownloaderModel::_getPackageByOpenID() {
  std::wstring id = openID();
  if (id.size() >= kMinOpenIdForLookup && package().empty()) {
    ZQ_LOG("ZQDownloaderModel::_getPackageByOpenID", L"start get package.");
    const std::wstring url = model::gameInfoUrlBase(tuning_) + model::escapeQueryValue(id);
    for (int attempt = 0; attempt < kQueryAttempts && !stopping(); ++attempt) {
      infoClient.close();
      std::string body;
      utility::CHttpDownload2MemSink sink(body);
      bool ok = infoClient.open(url, &sink) && infoClient.perform();
      infoClient.close();
      if (ok) {
        parseGameInfo(body);
        break;
      }
      if (!pause(tuning_.retryPauseMs)) return;
    }
    infoClient.close();
  }
  ZQ_LOG("ZQDownloaderModel::_getPackageByOpenID", L"package is %s", package().c_str());
}

void ZQDownloaderModel::parseGameInfo(const std::string& body) {
  std::wstring name = model::parseGameInfoPackage(body);
  if (!name.empty() && !model::isSafeParameter(name)) {
    ZQ_LOG("ZQDownloaderModel::parseGameInfo", L"package ignored, unexpected characters: %s", name.c_str());
    name.clear();
  }
  if (name.empty()) return;
  std::lock_guard<std::mutex> lock(resultsLock_);
  package_ = name;
}
