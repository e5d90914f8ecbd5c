#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/zqtool/command.h"
#include "utility/encoding.h"

namespace {

struct Entry {
  const wchar_t* usage;
  ZqCommandFn fn;
};

std::map<std::wstring, Entry>& registry() {
  static std::map<std::wstring, Entry> commands;
  return commands;
}

}  // namespace

ZqCommand::ZqCommand(const wchar_t* name, const wchar_t* usage, ZqCommandFn fn) {
  registry()[name] = Entry{usage, fn};
}

void zqPrintLine(const std::wstring& text) {
  std::string bytes = utility::wideToUtf8(text);
  bytes += '\n';
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || !registry().count(argv[1])) {
    fprintf(stderr, "usage: zqtool COMMAND ...\n");
    for (const auto& [name, entry] : registry()) {
      std::string line = "  " + utility::wideToUtf8(entry.usage) + "\n";
      fputs(line.c_str(), stderr);
    }
    return 2;
  }
  std::vector<std::wstring> args(argv + 2, argv + argc);
  return registry()[argv[1]].fn(args);
}
