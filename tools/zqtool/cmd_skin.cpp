// zqtool skin ARCHIVE: extracts a 7z archive the way start-up fills the skin
// store and lists what it delivers.
#include <string>

#include "tools/zqtool/command.h"
#include "ui/skin/skin.h"

namespace {

void printEntry(void*, const wchar_t* path, const unsigned char*, int size) {
  zqPrintLine(std::wstring(path) + L" " + std::to_wstring(size));
}

int runSkin(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    zqPrintLine(L"usage: zqtool skin ARCHIVE");
    return 2;
  }
  const int code = extractArchiveFromFile(args[0], printEntry, nullptr);
  zqPrintLine(L"result " + std::to_wstring(code));
  return code == 0 ? 0 : 1;
}

const ZqCommand command(L"skin", L"skin ARCHIVE   list the files a 7z skin archive delivers",
                        runSkin);

}  // namespace
