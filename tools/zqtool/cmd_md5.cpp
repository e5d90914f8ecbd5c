// zqtool md5 FILE: prints the file's digest text (exit 0), or nothing when
// the file cannot be digested (exit 1). Wrong usage exits 2.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zqtool/command.h"
#include "utility/encoding.h"
#include "utility/md5.h"

namespace {

int md5Command(const std::vector<std::wstring>& args) {
  if (args.size() != 1) {
    fprintf(stderr, "usage: zqtool md5 FILE\n");
    return 2;
  }
  std::string digest = utility::md5OfFile(args[0]);
  if (digest.empty()) return 1;
  zqPrintLine(utility::utf8ToWide(digest));
  return 0;
}

const ZqCommand command(L"md5", L"md5 FILE   print the MD5 digest text of FILE", md5Command);

}  // namespace
