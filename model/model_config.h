// Endpoints and timing of the installer workflow. Fixed at build time; tests
// replace them in-process through ZQDownloaderModel::setTuningForTest.
#pragma once

#include <string>

namespace model {

struct Tuning {
  std::wstring resourceHost;        // host[:port] of the version service and download server
  std::wstring infoHost;            // host[:port] of the game-info service
  unsigned retryPauseMs = 1000;     // pause after a failed query or download attempt
  unsigned fallbackDelayMs = 3000;  // wait for the version service after the install button
  unsigned taskkillTimeoutMs = 2000;
  unsigned installerTimeoutMs = 120000;
  std::wstring modulePath;          // program path for the launch parameters; "" = the real one
};

// The build-time values (ZQ_RESOURCE_HOST, ZQ_INFO_HOST) and the fixed times.
Tuning defaultTuning();

// URLs derived from a tuning.
std::wstring versionServiceUrl(const Tuning& t);   // http://<resource>/zv/zavrian
std::wstring fallbackInstallerUrl(const Tuning& t);  // http://<resource>/download/release/zvinst.exe
std::wstring gameInfoUrlBase(const Tuning& t);     // http://<info>/getGameInfo2?appid=

}  // namespace model
