#include "model/model_config.h"

#ifndef ZQ_RESOURCE_HOST
#define ZQ_RESOURCE_HOST L"127.0.0.1:18080"
#endif
#ifndef ZQ_INFO_HOST
#define ZQ_INFO_HOST L"127.0.0.1:18080"
#endif

namespace model {

Tuning defaultTuning() {
  Tuning t;
  t.resourceHost = ZQ_RESOURCE_HOST;
  t.infoHost = ZQ_INFO_HOST;
  return t;
}

std::wstring versionServiceUrl(const Tuning& t) { return L"http://" + t.resourceHost + L"/zv/zavrian"; }

std::wstring fallbackInstallerUrl(const Tuning& t) {
  return L"http://" + t.resourceHost + L"/download/release/zvinst.exe";
}

std::wstring gameInfoUrlBase(const Tuning& t) {
  return L"http://" + t.infoHost + L"/getGameInfo2?appid=";
}

}  // namespace model
