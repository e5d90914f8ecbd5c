// 7z extraction through the LZMA SDK's reader, from memory or from a file.
#include <cstring>

#include "ui/skin/skin.h"

extern "C" {
#include "7z.h"
#include "7zCrc.h"
#include "7zFile.h"
}

namespace {

constexpr size_t kMaxPathUnits = 260;  // including the terminator
constexpr size_t kLookBufferBytes = 1 << 16;

void* heapAlloc(ISzAllocPtr, size_t size) {
  return size == 0 ? nullptr : HeapAlloc(GetProcessHeap(), 0, size);
}
void heapFree(ISzAllocPtr, void* address) {
  if (address) HeapFree(GetProcessHeap(), 0, address);
}
const ISzAlloc kHeap = {heapAlloc, heapFree};

int mapResult(SRes res) {
  switch (res) {
    case SZ_OK: return kArchiveOk;
    case SZ_ERROR_DATA: return kArchiveDataError;
    case SZ_ERROR_MEM: return kArchiveOutOfMemory;
    case SZ_ERROR_CRC: return kArchiveCrcMismatch;
    case SZ_ERROR_UNSUPPORTED: return kArchiveUnsupported;
    case SZ_ERROR_PARAM: return kArchiveBadParameter;
    case SZ_ERROR_INPUT_EOF: return kArchiveInputEof;
    case SZ_ERROR_OUTPUT_EOF: return kArchiveOutputEof;
    case SZ_ERROR_READ: return kArchiveReadError;
    case SZ_ERROR_WRITE: return kArchiveWriteError;
    case SZ_ERROR_PROGRESS: return kArchiveProgressError;
    case SZ_ERROR_FAIL: return kArchiveFailure;
    case SZ_ERROR_THREAD: return kArchiveThreadError;
    case SZ_ERROR_ARCHIVE: return kArchiveError;
    case SZ_ERROR_NO_ARCHIVE: return kArchiveNotAnArchive;
    default: return kArchiveOtherError;
  }
}

// A look-in stream straight over a memory block: Look hands out pointers into
// the block, so nothing is copied before decoding.
struct MemoryLookStream {
  ILookInStream vt;
  const Byte* data;
  size_t size;
  size_t pos;
};

MemoryLookStream* self(ILookInStreamPtr p) {
  return const_cast<MemoryLookStream*>(reinterpret_cast<const MemoryLookStream*>(p));
}

SRes memoryLook(ILookInStreamPtr p, const void** buf, size_t* size) {
  MemoryLookStream* s = self(p);
  const size_t left = s->size - s->pos;
  if (*size > left) *size = left;
  *buf = s->data + s->pos;
  return SZ_OK;
}
SRes memorySkip(ILookInStreamPtr p, size_t offset) {
  MemoryLookStream* s = self(p);
  if (offset > s->size - s->pos) return SZ_ERROR_PARAM;
  s->pos += offset;
  return SZ_OK;
}
SRes memoryRead(ILookInStreamPtr p, void* buf, size_t* size) {
  MemoryLookStream* s = self(p);
  const size_t left = s->size - s->pos;
  if (*size > left) *size = left;
  if (*size) memcpy(buf, s->data + s->pos, *size);
  s->pos += *size;
  return SZ_OK;
}
SRes memorySeek(ILookInStreamPtr p, Int64* pos, ESzSeek origin) {
  MemoryLookStream* s = self(p);
  Int64 base = 0;
  if (origin == SZ_SEEK_CUR) base = static_cast<Int64>(s->pos);
  else if (origin == SZ_SEEK_END) base = static_cast<Int64>(s->size);
  const Int64 target = base + *pos;
  if (target < 0 || target > static_cast<Int64>(s->size)) return SZ_ERROR_PARAM;
  s->pos = static_cast<size_t>(target);
  *pos = target;
  return SZ_OK;
}

void prepareCrcTables() {
  static bool ready = false;
  if (!ready) {
    CrcGenerateTable();
    ready = true;
  }
}

// The opened archive and the SDK's solid-block cache, released together.
class OpenArchive {
 public:
  OpenArchive() { SzArEx_Init(&db_); }
  ~OpenArchive() {
    heapFree(&kHeap, block_);
    SzArEx_Free(&db_, &kHeap);
  }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;

  int extract(ILookInStreamPtr stream, ArchiveFileCallback cb, void* context) {
    SRes res = SzArEx_Open(&db_, stream, &kHeap, &kHeap);
    if (res != SZ_OK) return mapResult(res);
    UInt16 path[kMaxPathUnits];
    for (UInt32 i = 0; i < db_.NumFiles; ++i) {
      if (SzArEx_IsDir(&db_, i) || SzArEx_GetFileSize(&db_, i) == 0) continue;
      // Longer paths do not fit the fixed path buffer: such an entry is left out.
      if (SzArEx_GetFileNameUtf16(&db_, i, nullptr) > kMaxPathUnits) continue;
      SzArEx_GetFileNameUtf16(&db_, i, path);
      size_t offset = 0;
      size_t processed = 0;
      // Decodes the entry's block once per block and checks the entry's CRC-32.
      res = SzArEx_Extract(&db_, stream, i, &blockIndex_, &block_, &blockSize_, &offset,
                           &processed, &kHeap, &kHeap);
      if (res != SZ_OK) return mapResult(res);
      if (SzBitWithVals_Check(&db_.CRCs, i) &&
          CrcCalc(block_ + offset, processed) != db_.CRCs.Vals[i]) {
        return kArchiveCrcMismatch;
      }
      if (processed > 0x7fffffff) return kArchiveOtherError;
      if (cb) {
        cb(context, reinterpret_cast<const wchar_t*>(path), block_ + offset,
           static_cast<int>(processed));
      }
    }
    return kArchiveOk;
  }

 private:
  CSzArEx db_;
  UInt32 blockIndex_ = 0xFFFFFFFF;
  Byte* block_ = nullptr;
  size_t blockSize_ = 0;
};

}  // namespace

int extractArchiveFromMemory(const void* bytes, size_t size, ArchiveFileCallback cb, void* context) {
  if (!bytes && size != 0) return kArchiveBadParameter;
  prepareCrcTables();
  MemoryLookStream stream{};
  stream.vt.Look = memoryLook;
  stream.vt.Skip = memorySkip;
  stream.vt.Read = memoryRead;
  stream.vt.Seek = memorySeek;
  stream.data = static_cast<const Byte*>(bytes);
  stream.size = size;
  OpenArchive archive;
  return archive.extract(&stream.vt, cb, context);
}

namespace {

// The SDK's file stream with its look-ahead buffer; closes the file at the end.
class FileLookStream {
 public:
  FileLookStream() {
    FileInStream_CreateVTable(&file_);
    File_Construct(&file_.file);
    LookToRead2_CreateVTable(&look_, False);
    look_.buf = static_cast<Byte*>(heapAlloc(&kHeap, kLookBufferBytes));
    look_.bufSize = look_.buf ? kLookBufferBytes : 0;
    look_.realStream = &file_.vt;
    LookToRead2_INIT(&look_);
  }
  ~FileLookStream() {
    if (opened_) File_Close(&file_.file);
    heapFree(&kHeap, look_.buf);
  }
  FileLookStream(const FileLookStream&) = delete;
  FileLookStream& operator=(const FileLookStream&) = delete;

  bool open(const std::wstring& path) {
    opened_ = InFile_OpenW(&file_.file, path.c_str()) == 0;
    return opened_;
  }
  bool hasBuffer() const { return look_.buf != nullptr; }
  ILookInStreamPtr stream() const { return &look_.vt; }

 private:
  CFileInStream file_{};
  CLookToRead2 look_{};
  bool opened_ = false;
};

}  // namespace

int extractArchiveFromFile(const std::wstring& path, ArchiveFileCallback cb, void* context) {
  prepareCrcTables();
  FileLookStream stream;
  if (!stream.hasBuffer()) return kArchiveOutOfMemory;
  if (!stream.open(path)) return kArchiveReadError;
  OpenArchive archive;
  return archive.extract(stream.stream(), cb, context);
}
