// The one log call of the program. Formatting only; the sink decides where
// the line goes. Callable from any thread.
#pragma once

namespace utility {

// Receives one formatted message. function: the caller's qualified name
// (8-bit, not owned); line: source line; message: NUL-terminated UTF-16.
using LogSink = void (*)(const char* function, int line, const wchar_t* message);

// Null until start-up installs the common module's writer; calls made while
// it is null produce nothing. Written once on the main thread before any
// worker exists, read from every thread afterwards.
extern LogSink logSink;

// Formats `format` (wide printf rules: %s takes a wide string, %d an int)
// into at most 511 UTF-16 units and hands the text to logSink.
void log(const char* function, int line, const wchar_t* format, ...);

}  // namespace utility

// Logs under an explicit qualified function name, with the current line.
#define ZQ_LOG(function, ...) ::utility::log(function, __LINE__, __VA_ARGS__)
