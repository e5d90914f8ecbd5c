// Skin package and language table: where every layout, image and UI text
// comes from. UI thread only, no locks; written once by duilibInit2, read-only
// after, except that translate() adds unknown IDs to the language table.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// ---- Start-up -------------------------------------------------------------

// Sets every skin setting (module, OS version, language column 0, language
// file "multi_language.txt", archive file "<exe folder>downloader_skin.rcc",
// skin folder "<exe folder>downloader_skin\" when an entry of that name
// exists, resource id 130, source kind 2), then loadSkinResources().
// Called once at start-up, before any window exists.
void duilibInit2(HINSTANCE module);

// Fills the store from the archive of the selected source kind (1: the
// archive file, 2: resource "ZIPRES" of the module; a missing, empty or
// damaged archive leaves what was delivered, nothing is reported), then
// loads the language file and "multi_language_patch.txt".
void loadSkinResources();

// ---- Archive extraction -----------------------------------------------------

// Per-file callback of the extractors: path as stored in the archive, NUL-
// terminated, "/" between folders; bytes valid only during the call; size > 0.
using ArchiveFileCallback = void (*)(void* context, const wchar_t* path,
                                     const unsigned char* bytes, int size);

// Result codes of the extractors.
enum SkinArchiveResult : int {
  kArchiveOk = 0,
  kArchiveOtherError = 1000,
  kArchiveDataError = 1001,
  kArchiveOutOfMemory = 1002,
  kArchiveUnsupported = 1003,
  kArchiveBadParameter = 1004,
  kArchiveCrcMismatch = 1005,
  kArchiveInputEof = 1006,
  kArchiveOutputEof = 1007,
  kArchiveReadError = 1008,
  kArchiveWriteError = 1009,
  kArchiveProgressError = 1010,
  kArchiveFailure = 1011,
  kArchiveThreadError = 1012,
  kArchiveError = 1013,
  kArchiveNotAnArchive = 1014,
};

// Decode a 7z archive and hand every non-empty, non-directory file to cb in
// archive order; entries whose path exceeds 259 UTF-16 units are skipped.
// Stops at the first error; files delivered before it stay delivered.
// Returns 0 or a code above (1005: a delivered file's CRC-32 differs).
// cb may be null (decode and check only). bytes may be null only with size 0.
int extractArchiveFromMemory(const void* bytes, size_t size, ArchiveFileCallback cb, void* context);
// Same, reading the archive file at path (1008 when it cannot be opened).
int extractArchiveFromFile(const std::wstring& path, ArchiveFileCallback cb, void* context);

// ---- Skin files -------------------------------------------------------------

// A copy of the named skin file: "<skin folder><name as given>" first (when
// a skin folder is set and that file is non-empty and reads whole), then the
// store under the name with every '\' read as '/', compared case-sensitively.
// Empty when neither has it (empty files are never stored).
std::vector<unsigned char> readSkinFile(const std::wstring& name);

// Inserts a copy of (path -> bytes) into the store; an existing path is
// replaced; size 0 is ignored. Used by the extraction callback and by tests.
void addSkinFile(const std::wstring& path, const unsigned char* bytes, size_t size);
// Number of files in the store.
size_t skinFileCount();
// Test hook: empties the store.
void clearSkinStore();

// ---- Skin settings ------------------------------------------------------------

// OS major version recorded by duilibInit2 (below 6: no layered windows, "_xp"
// layouts); 0 before it.
unsigned skinOsMajorVersion();
// Test hook: overrides the recorded OS major version.
void setSkinOsMajorVersion(unsigned major);
// The executable folder (module file name up to and including its last
// backslash); empty when no module is known. Before duilibInit2 it is the
// folder of the running executable's own module.
std::wstring skinExecutableFolder();
HINSTANCE skinModule();
// The skin folder, with its trailing separator, or empty.
std::wstring skinFolder();
// Stores folder as given, appending '\' unless it is empty or already ends
// with '\' or '/'. Test hook as well as duilibInit2's setter.
void setSkinFolder(const std::wstring& folder);

// ---- Language table -----------------------------------------------------------

// Translation column loaded by the parsers (0 = first translation column,
// cell 2 of a row). duilibInit2 sets 0.
int languageColumn();
void setLanguageColumn(int column);

// Adds the rows of one language file: "<exe folder><fileName>" when it
// opens (nothing at all when it is empty, above 4 MiB or reads short),
// otherwise readSkinFile(fileName) when that holds more than 10 bytes.
void loadLanguageFile(const std::wstring& fileName);
// Same rules for a full path: returns false only when the file could not
// be opened (the caller may then fall back); true when it opened, loaded or not.
bool loadLanguageFileAt(const std::wstring& path);
// Parses UTF-16LE rows (TAB-separated cells, CR/LF row ends) with the
// current column: cell 1 is the ID, cell 2 + column the text (the row's last
// cell when it has fewer); a text of 3+ units in double quotes loses them;
// rows with fewer than two cells are skipped. Stops at a NUL
// unit or the end (size rounded down to even); never reads past size.
void parseLanguageData(const void* bytes, size_t size);

void setLanguageText(const std::wstring& id, const std::wstring& text);
// Null when the ID is unknown; the pointer stays valid until the text of
// that ID is replaced.
const wchar_t* getLanguageText(const std::wstring& id);
// "@ID" with a known ID gives its text; anything else is returned unchanged.
std::wstring resolveTextRef(const std::wstring& value);
// Never null. id: ASCII, at most 127 characters used. An unknown ID is added
// as its own text. Pointer valid while the ID's text is not replaced.
const wchar_t* translate(const char* id);
// Test hook: empties the language table.
void clearLanguageTable();
