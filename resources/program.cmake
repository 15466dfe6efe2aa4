# What becomes of the program file: on Windows it is the GUI program Vostrel.exe carrying the icon and the
# version record; on Linux `cmake --install` puts `vostrel` into bin/ beside the desktop files, which is
# also what the Debian package (debian/) installs. Included from the root after app/, which makes the target.
include(GNUInstallDirs)

if(WIN32)
    set_target_properties(vostrel PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Vostrel)
    target_link_libraries(vostrel PRIVATE vostrel_windows_resources)
endif()
# On the web, vostrel.js and vostrel.wasm, started by Qt's loader from the page (scripts/web/dist.sh makes the
# site): only the browser's main thread runs it, and it is linked for size, as it is downloaded before the
# window shows.
if(EMSCRIPTEN)
    # Qt's own steps for a program on the web: the runtime functions its web platform calls, its memory.
    qt_finalize_target(vostrel)
    target_link_options(vostrel PRIVATE -sENVIRONMENT=web $<$<CONFIG:Release>:-Oz>)
endif()
install(TARGETS vostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
