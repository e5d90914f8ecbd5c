// zqtool path TEXT: how the installer judges a folder text. Prints
//   valid 0|1        the install-path test
//   normalized P     the normalised form
//   folder F         the folder rule applied while no folder is chosen yet
// Exit 0; wrong usage exits 2.
#include <cstdio>
#include <string>
#include <vector>

#include "model/install_path.h"
#include "tools/zqtool/command.h"

namespace {

int pathCommand(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    fprintf(stderr, "usage: zqtool path TEXT\n");
    return 2;
  }
  const std::wstring& text = args[0];
  zqPrintLine(std::wstring(L"valid ") + (model::isValidInstallPath(text) ? L"1" : L"0"));
  zqPrintLine(L"normalized " + model::normalizePath(text));
  std::wstring folder;
  if (!model::applyFolderRule(text, L"", folder)) folder = text;
  zqPrintLine(L"folder " + folder);
  return 0;
}

const ZqCommand command(L"path", L"path TEXT  install-path test, normalised form and folder rule of TEXT",
                        pathCommand);

}  // namespace
