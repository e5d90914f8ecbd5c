# The installer executable, bin/zqdownloader.exe: a GUI program (wWinMain),
# linked statically, carrying the skin archive, licence text and icon
# (zq_skin_resources) and the elevation manifest and version
# (zq_installer_resources).
if(TARGET zq_ui AND TARGET zq_skin_resources AND TARGET zq_installer_resources)
  # The program runs elevated from a downloads folder. DLLs the loader
  # resolves before wWinMain are searched next to the program first, so the
  # ones that are not known system DLLs are delay-loaded instead: loaded on
  # first use, after wWinMain has limited the search to the system folder.
  # Functions not listed in cmake/delayload/*.def still link, as plain imports.
  find_program(ZQ_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
  set(_delay_libs)
  foreach(dll gdiplus wininet msimg32)
    set(_def ${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def)
    set(_lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${_lib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
      COMMAND ${ZQ_DLLTOOL} --input-def ${_def} --dllname ${dll}.dll --output-delaylib ${_lib}
      DEPENDS ${_def} VERBATIM)
    list(APPEND _delay_libs ${_lib})
  endforeach()
  add_custom_target(zq_delayload_libs DEPENDS ${_delay_libs})

  add_executable(zqdownloader WIN32
    ${CMAKE_SOURCE_DIR}/app/main.cpp
    ${CMAKE_SOURCE_DIR}/app/downloader_impl.cpp
    $<TARGET_OBJECTS:zq_skin_resources>
    $<TARGET_OBJECTS:zq_installer_resources>)
  add_dependencies(zqdownloader zq_skin_resources zq_installer_resources zq_delayload_libs)
  target_link_libraries(zqdownloader PRIVATE zq_ui zq_model zq_app zq_common zq_duilib zq_skin
                        zq_http zq_utility ws2_32 ole32)
  # The delay libraries come right after the libraries that call them and
  # before their plain import libraries, so they are the ones that resolve.
  target_link_options(zqdownloader PRIVATE -municode -mwindows
    # -s: no symbol table in the shipped file (it is downloaded by every user).
    -s)
  set_property(TARGET zqdownloader APPEND PROPERTY LINK_LIBRARIES ${_delay_libs} delayimp)
endif()
