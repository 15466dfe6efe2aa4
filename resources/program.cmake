# What becomes of the program file: on Windows it is the GUI program Vostrel.exe carrying the icon and the
# version record; on Linux `cmake --install` puts `vostrel` into bin/ beside the desktop files, which is
# also what the Debian package (debian/) installs. Included from the root after app/, which makes the target.
include(GNUInstallDirs)

if(WIN32)
    set_target_properties(vostrel PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Vostrel)
    target_link_libraries(vostrel PRIVATE vostrel_windows_resources)
endif()
install(TARGETS vostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
