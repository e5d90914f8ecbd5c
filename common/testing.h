// Test hooks of the common module. Production code never calls these.
#pragma once

#include <string>

namespace common::testing {

// Stops the process's log writer (waiting at most timeoutMs) and forgets it,
// so that a later startLogWriter starts a fresh one. No other thread may log
// during the call. True when the old writer ended (or there was none); a
// writer that did not end is left running and never freed.
bool resetLogWriter(unsigned timeoutMs);

// While paused, the writer thread takes no batch, so pending lines pile up to
// the 4096-byte limit. stopLogWriter ends a pause.
void pauseLogWriter(bool paused);

// Replaces the kept data root (as if the shell had reported another folder).
void setDataRoot(const std::wstring& root);

}  // namespace common::testing
