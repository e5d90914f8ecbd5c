#include "model/launch_params.h"

#include <vector>

#include "utility/log.h"
#include "utility/strings.h"

namespace model {

std::wstring bareFileName(const std::wstring& modulePath) {
  size_t sep = modulePath.find_last_of(L'\\');
  if (sep == std::wstring::npos) sep = modulePath.find_last_of(L'/');
  std::wstring name = sep == std::wstring::npos ? std::wstring() : modulePath.substr(sep + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

std::wstring stripCopySuffix(const std::wstring& name) {
  // " (" digits ")" at the very end.
  if (name.size() < 4 || name.back() != L')') return name;
  size_t i = name.size() - 1;
  size_t digitsEnd = i;
  while (i > 0 && name[i - 1] >= L'0' && name[i - 1] <= L'9') --i;
  if (i == digitsEnd || i < 2) return name;
  if (name[i - 1] != L'(' || name[i - 2] != L' ') return name;
  return name.substr(0, i - 2);
}

bool isSafeParameter(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t c : text) {
    bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
              c == L'.' || c == L'_' || c == L'-';
    if (!ok) return false;
  }
  return true;
}

LaunchParams parseLaunchParams(const std::wstring& modulePath) {
  LaunchParams params;
  params.fileName = stripCopySuffix(bareFileName(modulePath));
  ZQ_LOG("ZQDownloaderModel::init", L"ZQDownloaderModel::exe filename= %s", params.fileName.c_str());

  std::vector<std::wstring> pieces = utility::split(params.fileName, L"_");
  if (pieces.size() == 3) {
    params.threePieces = true;
    params.type = pieces[0];
    ZQ_LOG("ZQDownloaderModel::init", L"model. type: %s, package:%s, openID:%s", pieces[0].c_str(),
           pieces[1].c_str(), pieces[2].c_str());
    const std::wstring& package = pieces[1];
    const std::wstring& openID = pieces[2];
    if (!openID.empty()) {
      if (isSafeParameter(openID)) {
        params.openID = openID;
      } else {
        ZQ_LOG("ZQDownloaderModel::init", L"openID ignored, unexpected characters: %s", openID.c_str());
      }
    }
    if (!package.empty() && package != kNoPackagePlaceholder) {
      if (isSafeParameter(package)) {
        params.package = package;
      } else {
        ZQ_LOG("ZQDownloaderModel::init", L"package ignored, unexpected characters: %s", package.c_str());
      }
    }
  }
  ZQ_LOG("ZQDownloaderModel::init", L"openid is %s, package is %s", params.openID.c_str(),
         params.package.c_str());
  return params;
}

}  // namespace model
