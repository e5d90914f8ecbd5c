#include "ui/layout_file.h"

#include "utility/usystem.h"

std::wstring layoutFileFor(const wchar_t* base) {
  return std::wstring(base) + (utility::usystem::osMajorVersion() < 6 ? L"_xp.xml" : L".xml");
}
