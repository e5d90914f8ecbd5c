#include "utility/log.h"

#include <cstdarg>
#include <cwchar>

namespace utility {

LogSink logSink = nullptr;

void log(const char* function, int line, const wchar_t* format, ...) {
  LogSink sink = logSink;
  if (!sink) return;
  wchar_t buffer[512];
  va_list args;
  va_start(args, format);
  // The CRT's own wide formatter: %s means a wide string, as every caller expects.
  int n = _vsnwprintf(buffer, 511, format, args);
  va_end(args);
  if (n < 0 || n > 511) n = 511;  // cut long messages to their first 511 units
  // A cut between the halves of a surrogate pair drops the first half too.
  if (n == 511 && buffer[510] >= 0xD800 && buffer[510] <= 0xDBFF) n = 510;
  buffer[n] = L'\0';
  sink(function, line, buffer);
}

}  // namespace utility
