// zqtool lang FILE ID [COLUMN]: the text a language table gives for ID.
#include <cwchar>
#include <string>

#include "tools/zqtool/command.h"
#include "ui/skin/skin.h"

namespace {

int runLang(const std::vector<std::wstring>& args) {
  if (args.size() < 2 || args.size() > 3) {
    zqPrintLine(L"usage: zqtool lang FILE ID [COLUMN]");
    return 2;
  }
  int column = 0;
  if (args.size() == 3) {
    wchar_t* end = nullptr;
    const long value = wcstol(args[2].c_str(), &end, 10);
    if (args[2].empty() || *end != 0 || value < 0 || value > 1000) {
      zqPrintLine(L"bad COLUMN: " + args[2]);
      return 2;
    }
    column = static_cast<int>(value);
  }
  setLanguageColumn(column);
  if (!loadLanguageFileAt(args[0])) {
    zqPrintLine(L"cannot open " + args[0]);
    return 1;
  }
  const wchar_t* text = getLanguageText(args[1]);
  if (!text) return 1;
  zqPrintLine(text);
  return 0;
}

const ZqCommand command(L"lang", L"lang FILE ID [COLUMN]   text of ID in a language table",
                        runLang);

}  // namespace
