// Skin package and language table: where every layout, image and UI text
// comes from. UI thread only; written once by duilibInit2, read-only after,
// except that translate() adds unknown IDs to the language table.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Sets every skin setting (module, OS version, language column 0, skin folder
// or archive), then loadSkinResources(). Called once at start-up.
void duilibInit2(HINSTANCE module);

// Fills the store from the archive of the selected source kind, then loads
// "multi_language.txt" and "multi_language_patch.txt".
void loadSkinResources();

// Per-file callback of the extractors: path as stored ("/" between folders),
// bytes valid only during the call.
using ArchiveFileCallback = void (*)(void* context, const wchar_t* path,
                                     const unsigned char* bytes, int size);
// Both return 0 or a result code of 1000..1014.
int extractArchiveFromMemory(const void* bytes, size_t size, ArchiveFileCallback cb, void* context);
int extractArchiveFromFile(const std::wstring& path, ArchiveFileCallback cb, void* context);

// A copy of the named skin file: skin folder first, then the store (with
// '\' read as '/'). Empty when neither has it (empty files are never stored).
std::vector<unsigned char> readSkinFile(const std::wstring& name);

void loadLanguageFile(const std::wstring& fileName);
void setLanguageText(const std::wstring& id, const std::wstring& text);
// Null when the ID is unknown; the pointer stays valid until the text of
// that ID is replaced.
const wchar_t* getLanguageText(const std::wstring& id);
// "@ID" with a known ID gives its text; anything else is returned unchanged.
std::wstring resolveTextRef(const std::wstring& value);
// Never null; an unknown ID is added as its own text.
const wchar_t* translate(const char* id);

// OS major version recorded by duilibInit2 (below 6: no layered windows, "_xp" layouts).
unsigned skinOsMajorVersion();
// The executable folder, with its trailing backslash.
std::wstring skinExecutableFolder();
HINSTANCE skinModule();
