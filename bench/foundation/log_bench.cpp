// log_bench [CALLS_PER_THREAD]: median cost in microseconds of one
// utility::log call with the common writer installed, from 1 and from 4
// threads, against the formatting pass alone (the peer) in the same run.
// Calls are timed in groups of kGroup, as the clock ticks at 100 ns.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "common/log.h"
#include "utility/log.h"

namespace {

constexpr int kGroup = 10;
const wchar_t kFormat[] = L"download progress %d%% received %d of %d bytes from %s";
const wchar_t kUrl[] = L"http://127.0.0.1:18080/download/release/zvinst.exe";

double ticksPerMicrosecond() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart) / 1e6;
}

long long now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

volatile wchar_t g_sink;  // keeps the peer's formatting from being optimised away

// The peer: the wide formatting every log call does first, and nothing else.
void formatOnly(int i) {
  wchar_t buffer[512];
  _snwprintf(buffer, 511, kFormat, i % 100, i, 1 << 30, kUrl);
  buffer[511] = L'\0';
  g_sink = buffer[0];
}

void logOnce(int i) { ZQ_LOG("ZQDownloaderModel::_threadDownloadPlayer", kFormat, i % 100, i, 1 << 30, kUrl); }

// Median microseconds per call over `threads` threads of `calls` calls each.
double medianCost(void (*call)(int), int threads, int calls) {
  std::vector<std::vector<double>> perThread(threads);
  std::atomic<int> ready{0};
  const double tpu = ticksPerMicrosecond();
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&, t] {
      auto& out = perThread[t];
      out.reserve(calls / kGroup + 1);
      ready.fetch_add(1);
      while (ready.load() < threads) std::this_thread::yield();
      for (int i = 0; i + kGroup <= calls; i += kGroup) {
        long long start = now();
        for (int k = 0; k < kGroup; ++k) call(i + k);
        out.push_back(static_cast<double>(now() - start) / tpu / kGroup);
      }
    });
  for (auto& t : pool) t.join();
  std::vector<double> all;
  for (auto& v : perThread) all.insert(all.end(), v.begin(), v.end());
  std::nth_element(all.begin(), all.begin() + all.size() / 2, all.end());
  return all[all.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int calls = argc > 1 ? _wtoi(argv[1]) : 20000;
  if (calls < kGroup) return 2;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path =
      std::wstring(temp) + L"zq_log_bench_" + std::to_wstring(GetCurrentProcessId()) + L".log";
  DeleteFileW(path.c_str());
  common::startLogWriter(path);
  utility::logSink = common::writeLog;

  const double peer1 = medianCost(formatOnly, 1, calls);
  const double log1 = medianCost(logOnce, 1, calls);
  const double peer4 = medianCost(formatOnly, 4, calls);
  const double log4 = medianCost(logOnce, 4, calls);

  utility::logSink = nullptr;
  common::stopLogWriter(5000);
  DeleteFileW(path.c_str());

  printf("log call, 1 thread:  median %.2f us (format alone %.2f us, ratio %.2f)\n", log1, peer1,
         log1 / peer1);
  printf("log call, 4 threads: median %.2f us (format alone %.2f us, ratio %.2f)\n", log4, peer4,
         log4 / peer4);
  return 0;
}
