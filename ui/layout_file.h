// Which layout file a window loads on this system.
#pragma once

#include <string>

// "<base>_xp.xml" when the OS major version is below 6 (no layered windows:
// the "_xp" layouts have no shadow margin), else "<base>.xml". base: the
// layout's name without extension, e.g. L"mainframe".
std::wstring layoutFileFor(const wchar_t* base);
