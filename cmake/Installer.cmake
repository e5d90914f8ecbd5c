# The installer executable, bin/zqdownloader.exe: a GUI program (wWinMain),
# linked statically, carrying the skin archive, licence text and icon
# (zq_skin_resources) and the elevation manifest and version
# (zq_installer_resources).
if(TARGET zq_ui AND TARGET zq_skin_resources AND TARGET zq_installer_resources)
  add_executable(zqdownloader WIN32
    ${CMAKE_SOURCE_DIR}/app/main.cpp
    ${CMAKE_SOURCE_DIR}/app/downloader_impl.cpp
    $<TARGET_OBJECTS:zq_skin_resources>
    $<TARGET_OBJECTS:zq_installer_resources>)
  add_dependencies(zqdownloader zq_skin_resources zq_installer_resources)
  target_link_libraries(zqdownloader PRIVATE zq_ui zq_model zq_app zq_common zq_duilib zq_skin
                        zq_utility ws2_32 ole32)
  # -s: no symbol table in the shipped file (it is downloaded by every user).
  target_link_options(zqdownloader PRIVATE -municode -mwindows -s)
endif()
