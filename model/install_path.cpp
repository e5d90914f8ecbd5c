#include "model/install_path.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>

namespace model {

namespace {

constexpr double kBytesPerMB = 1048576.0;

void trimSpaces(std::wstring& s) {
  size_t begin = s.find_first_not_of(L' ');
  if (begin == std::wstring::npos) {
    s.clear();
    return;
  }
  size_t end = s.find_last_not_of(L' ');
  s = s.substr(begin, end - begin + 1);
}

bool freeBytes(const std::wstring& path, ULARGE_INTEGER& available) {
  std::wstring root = path.substr(0, 3);
  return GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr) != 0;
}

// Replaces "/" by "\", one pass of "\\" -> "\", trims spaces, ends in "\".
std::wstring tidyFolderText(std::wstring p) {
  std::replace(p.begin(), p.end(), L'/', L'\\');
  std::wstring out;
  for (size_t i = 0; i < p.size(); ++i) {
    out += p[i];
    if (p[i] == L'\\' && i + 1 < p.size() && p[i + 1] == L'\\') ++i;
  }
  trimSpaces(out);
  if (out.empty() || out.back() != L'\\') out += L'\\';
  return out;
}

bool containsNoCase(const std::wstring& text, const std::wstring& needle) {
  std::wstring a = text, b = needle;
  for (auto& c : a) c = static_cast<wchar_t>(std::towlower(c));
  for (auto& c : b) c = static_cast<wchar_t>(std::towlower(c));
  return a.find(b) != std::wstring::npos;
}

}  // namespace

std::vector<std::wstring> listFixedDrives() {
  std::vector<std::wstring> drives;
  wchar_t buffer[512] = {};
  DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
  if (length == 0 || length >= std::size(buffer)) return drives;
  for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) {
    if (GetDriveTypeW(p) == DRIVE_FIXED) drives.emplace_back(p);
  }
  return drives;
}

double getVolumeFreeMB(const std::wstring& root) {
  ULARGE_INTEGER available{};
  if (!freeBytes(root, available)) return 0;
  wchar_t fsName[1024] = {};
  std::wstring root3 = root.substr(0, 3);
  if (GetVolumeInformationW(root3.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fsName,
                            static_cast<DWORD>(std::size(fsName)))) {
    std::wstring fs = fsName;
    if (fs != L"FAT32" && fs != L"NTFS") return 0;
  }
  return static_cast<double>(available.QuadPart) / kBytesPerMB;
}

std::wstring pickMaxFreeDrive(const std::vector<std::pair<std::wstring, double>>& drives) {
  std::wstring best;
  double bestMB = 0;
  for (const auto& [drive, mb] : drives) {
    if (mb > bestMB) {
      bestMB = mb;
      best = drive;
    }
  }
  return best;
}

std::wstring getMaxFreeSpaceDrive() {
  std::vector<std::pair<std::wstring, double>> drives;
  for (const std::wstring& drive : listFixedDrives()) drives.emplace_back(drive, getVolumeFreeMB(drive));
  return pickMaxFreeDrive(drives);
}

double getFreeSpaceMB(const std::wstring& path) {
  ULARGE_INTEGER available{};
  if (!freeBytes(path, available)) return 0;
  return static_cast<double>(available.QuadPart) / kBytesPerMB;
}

std::wstring normalizePath(const std::wstring& path) {
  std::wstring p = path;
  for (auto& c : p) c = static_cast<wchar_t>(std::towlower(c));
  std::replace(p.begin(), p.end(), L'/', L'\\');
  size_t pos;
  while ((pos = p.find(L"\\\\")) != std::wstring::npos) p.erase(pos, 1);
  size_t begin = p.find_first_not_of(L'\\');
  if (begin == std::wstring::npos) return std::wstring();
  size_t end = p.find_last_not_of(L'\\');
  return p.substr(begin, end - begin + 1);
}

bool isValidInstallPath(const std::wstring& path) {
  std::wstring p = normalizePath(path);
  trimSpaces(p);
  if (p.size() < 3) return false;
  ULARGE_INTEGER available{};
  if (!freeBytes(p, available) || available.QuadPart == 0) return false;
  std::wstring rest = p.substr(3);
  trimSpaces(rest);
  if (rest.find_first_of(L"/:*?<>|\"") != std::wstring::npos) return false;
  size_t start = 0;
  for (size_t sep; (sep = rest.find(L'\\', start)) != std::wstring::npos; start = sep + 1) {
    std::wstring component = rest.substr(start, sep - start);
    trimSpaces(component);
    if (component.empty()) return false;
  }
  return true;
}

bool applyFolderRule(const std::wstring& t, const std::wstring& currentPath, std::wstring& result) {
  if (t == currentPath) return false;
  std::wstring p = t;
  if (!p.empty() && PathIsRootW(p.c_str())) {
    p += kVendorFolder;
    p += kPlayerFolder;
  }
  if (isValidInstallPath(p)) p = tidyFolderText(p);
  // Last component: after the last backslash before the final character,
  // the final character excluded when it is the trailing separator.
  bool endsWithSeparator = !p.empty() && (p.back() == L'\\' || p.back() == L'/');
  size_t end = endsWithSeparator ? p.size() - 1 : p.size();
  size_t sep = end == 0 ? std::wstring::npos : p.find_last_of(L'\\', end - 1);
  size_t begin = sep == std::wstring::npos ? 0 : sep + 1;
  std::wstring component = p.substr(begin, end - begin);
  if (!containsNoCase(component, L"zqplayer2")) {
    if (!p.empty() && !endsWithSeparator) p += L'\\';
    p += kPlayerFolder;
  }
  result = p;
  return true;
}

InstallCheck checkInstallRule(bool licenceAccepted, bool pathValid, double freeMB) {
  if (!licenceAccepted) return InstallCheck::LicenceNotAccepted;
  if (!pathValid) return InstallCheck::InvalidPath;
  if (freeMB < kMinFreeMB) return InstallCheck::NotEnoughSpace;
  return InstallCheck::Ok;
}

const wchar_t* installCheckMessage(InstallCheck check) {
  switch (check) {
    case InstallCheck::LicenceNotAccepted:
      return L"必须接受协议才能安装！";
    case InstallCheck::InvalidPath:
      return L"文件路径无效！请重新输入。";
    case InstallCheck::NotEnoughSpace:
      return L"磁盘空间不足！请更换路径或清理空间。";
    case InstallCheck::Ok:
      break;
  }
  return L"";
}

}  // namespace model
