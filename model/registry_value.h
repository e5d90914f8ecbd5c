// The installed emulator's registry values (HKCU\Software\Tessarin2\zqplayer).
#pragma once

#include <windows.h>

#include <string>

namespace model {

inline constexpr wchar_t kPlayerRegistryKey[] = L"Software\\Tessarin2\\zqplayer";
// Size of the read buffer, in bytes.
inline constexpr DWORD kRegistryBufferBytes = 2048;

// Opens (creating when missing) kPlayerRegistryKey under HKEY_CURRENT_USER
// and reads `valueName` whatever its type into a zero-filled buffer of
// kRegistryBufferBytes. The text runs to the first NUL or to the buffer's
// end, never beyond it. "" when the key cannot be opened, the value is
// missing, or the value is larger than the buffer (a failed read).
std::wstring readPlayerRegistryValue(const wchar_t* valueName);

}  // namespace model
