// Install-folder choice: drives, path tests and the folder rules the main
// window applies. Wide strings; drive queries run on the calling thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace model {

// "Tessarin\" and "zqplayer2\": the default sub-folders under a drive root.
inline constexpr wchar_t kVendorFolder[] = L"Tessarin\\";
inline constexpr wchar_t kPlayerFolder[] = L"zqplayer2\\";
// Free space an install needs on the drive of the install folder.
inline constexpr double kMinFreeMB = 1024.0;

// Logical drive roots ("C:\\") of fixed drives, in the system's order.
std::vector<std::wstring> listFixedDrives();
// Free MiB available to the caller on root's first three characters, only
// for FAT32 or NTFS volumes (or when the volume cannot be described);
// 0 for other file systems and on failure.
double getVolumeFreeMB(const std::wstring& root);
// The fixed drive with strictly the most free MiB (first listed wins ties),
// or "" when none has more than 0.
std::wstring getMaxFreeSpaceDrive();
// The rule behind getMaxFreeSpaceDrive over (root, free MiB) pairs in the
// system's order: strictly greater replaces, starting from 0.
std::wstring pickMaxFreeDrive(const std::vector<std::pair<std::wstring, double>>& drives);
// Free MiB available to the caller on path's first three characters; 0 on
// failure. No file-system test.
double getFreeSpaceMB(const std::wstring& path);

// Lower case, '/' to '\\', doubled backslashes collapsed, leading and
// trailing backslashes removed.
std::wstring normalizePath(const std::wstring& path);

// The path has a drive root with free space, no forbidden character
// (/ : * ? < > | ") after the root, and no empty (or all-space) component
// before a backslash.
bool isValidInstallPath(const std::wstring& path);

// The folder rule applied to a chosen text t while the install folder is
// currentPath. Returns false when t equals currentPath (nothing to do);
// otherwise true with the new install folder in `result`: a root gets the
// default sub-folders, a valid path is tidied and ends in a backslash, and a
// last component without "zqplayer2" gets "zqplayer2\" appended (after a
// separator, also on a text judged invalid).
bool applyFolderRule(const std::wstring& t, const std::wstring& currentPath, std::wstring& result);

// Which pre-install message applies, in the order the checks run.
enum class InstallCheck {
  Ok,
  LicenceNotAccepted,  // "必须接受协议才能安装！"
  InvalidPath,         // "文件路径无效！请重新输入。"
  NotEnoughSpace,      // "磁盘空间不足！请更换路径或清理空间。"
};
// The rule itself, over its three inputs.
InstallCheck checkInstallRule(bool licenceAccepted, bool pathValid, double freeMB);
// The message text of a failed check; "" for Ok. Shown with the error icon
// and the title kInstallCheckTitle.
const wchar_t* installCheckMessage(InstallCheck check);
inline constexpr wchar_t kInstallCheckTitle[] = L"错误";

}  // namespace model
