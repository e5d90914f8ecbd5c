// skin_bench ARCHIVE [RUNS]: extracts a 7z skin archive into the skin store
// RUNS times, as start-up does, and a memcpy of the unpacked bytes as peer.
// Prints "key value" lines; times in microseconds, medians unless "_min".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/skin/skin.h"

namespace {

double nowMicros() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void storeFile(void*, const wchar_t* path, const unsigned char* bytes, int size) {
  addSkinFile(path, bytes, static_cast<size_t>(size));
}

struct Unpacked {
  std::vector<unsigned char> bytes;
  int files = 0;
};

void gather(void* context, const wchar_t*, const unsigned char* bytes, int size) {
  auto* u = static_cast<Unpacked*>(context);
  u->bytes.insert(u->bytes.end(), bytes, bytes + size);
  ++u->files;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: skin_bench ARCHIVE [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 30;
  std::ifstream in(std::filesystem::path(argv[1]), std::ios::binary);
  std::vector<unsigned char> archive((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  Unpacked unpacked;
  const int code = extractArchiveFromMemory(archive.data(), archive.size(), gather, &unpacked);
  if (code != 0 || archive.empty()) {
    fprintf(stderr, "extraction failed: result %d\n", code);
    return 1;
  }

  std::vector<double> extract;
  for (int i = 0; i < runs; ++i) {
    clearSkinStore();
    const double t0 = nowMicros();
    extractArchiveFromMemory(archive.data(), archive.size(), storeFile, nullptr);
    extract.push_back(nowMicros() - t0);
  }

  std::vector<unsigned char> target(unpacked.bytes.size());
  std::vector<double> copy;
  for (int i = 0; i < runs; ++i) {
    const double t0 = nowMicros();
    memcpy(target.data(), unpacked.bytes.data(), unpacked.bytes.size());
    copy.push_back(nowMicros() - t0);
    if (target[i % target.size()] != unpacked.bytes[i % target.size()]) return 1;  // keep the copy
  }

  printf("archive_bytes %zu\n", archive.size());
  printf("files %d\n", unpacked.files);
  printf("unpacked_bytes %zu\n", unpacked.bytes.size());
  printf("runs %d\n", runs);
  printf("extract_us %.1f\n", median(extract));
  printf("extract_min_us %.1f\n", *std::min_element(extract.begin(), extract.end()));
  printf("memcpy_us %.1f\n", median(copy));
  return 0;
}
