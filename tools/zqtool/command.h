// Subcommand registry of zqtool. A subcommand file defines a function and a
// static ZqCommand object that registers it before wmain runs.
#pragma once

#include <string>
#include <vector>

using ZqCommandFn = int (*)(const std::vector<std::wstring>& args);  // args after the name

struct ZqCommand {
  ZqCommand(const wchar_t* name, const wchar_t* usage, ZqCommandFn fn);
};

// Prints UTF-16 text to stdout as UTF-8, followed by a newline.
void zqPrintLine(const std::wstring& text);
