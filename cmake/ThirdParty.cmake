# Third-party pieces, all installed at build time (scripts/deps.sh), none committed.

# RapidJSON: header-only. The cross compiler must not see the rest of
# /usr/include, so it reaches the headers through a folder holding one link.
set(ZQ_RAPIDJSON_ROOT ${CMAKE_BINARY_DIR}/third_party/rapidjson-include)
file(MAKE_DIRECTORY ${ZQ_RAPIDJSON_ROOT})
if(NOT EXISTS ${ZQ_RAPIDJSON_ROOT}/rapidjson)
  file(CREATE_LINK /usr/include/rapidjson ${ZQ_RAPIDJSON_ROOT}/rapidjson SYMBOLIC)
endif()
add_library(zq_rapidjson INTERFACE)
target_include_directories(zq_rapidjson SYSTEM INTERFACE ${ZQ_RAPIDJSON_ROOT})

# LZMA SDK decoder (7z reader), C sources from Debian's 7zip source package.
set(ZQ_LZMA_C ${ZQ_DEPS_CACHE}/lzma/C)
if(NOT EXISTS ${ZQ_LZMA_C}/LzmaDec.c)
  message(FATAL_ERROR "LZMA SDK sources missing in ${ZQ_LZMA_C}: run scripts/deps.sh")
endif()
set(_lzma_files 7zArcIn 7zDec 7zStream 7zBuf 7zBuf2 LzmaDec Lzma2Dec Bra86 Bra BraIA64
    Bcj2 Delta 7zCrc 7zCrcOpt CpuArch 7zAlloc 7zFile)
set(_lzma_srcs)
foreach(f ${_lzma_files})
  list(APPEND _lzma_srcs ${ZQ_LZMA_C}/${f}.c)
endforeach()
add_library(zq_lzma STATIC ${_lzma_srcs})
target_include_directories(zq_lzma SYSTEM PUBLIC ${ZQ_LZMA_C})
target_compile_options(zq_lzma PRIVATE -w)

# GoogleTest, built from Debian's sources with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/gtest EXCLUDE_FROM_ALL)
