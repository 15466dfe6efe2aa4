# What becomes of the program file: on Windows it is the GUI program Vostrel.exe carrying the icon and the
# version record; on Linux `cmake --install` puts `vostrel` into bin/ beside the desktop files, and
# `cpack -G DEB` packs the same for Debian. Included from the root after app/, which makes the target.
include(GNUInstallDirs)

if(WIN32)
    set_target_properties(vostrel PROPERTIES WIN32_EXECUTABLE ON OUTPUT_NAME Vostrel)
    target_link_libraries(vostrel PRIVATE vostrel_windows_resources)
endif()
# On the web, vostrel.js and vostrel.wasm, started by Qt's loader from the page (scripts/web-dist.sh makes the
# site): only the browser's main thread runs it, and it is linked for size, as it is downloaded before the
# window shows.
if(EMSCRIPTEN)
    # Qt's own steps for a program on the web: the runtime functions its web platform calls, its memory.
    qt_finalize_target(vostrel)
    target_link_options(vostrel PRIVATE -sENVIRONMENT=web $<$<CONFIG:Release>:-Oz>)
endif()
install(TARGETS vostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_PACKAGE_NAME vostrel)
set(CPACK_PACKAGE_VENDOR "Vostrel project")
set(CPACK_PACKAGE_CONTACT "Vostrel project <maintainers@vostrel.org>") # the Maintainer
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian shows the description line by line as written here, so no line is longer than 79 characters.
set(CPACK_PACKAGE_DESCRIPTION "\
Vostrel shows the periodic table of the 112 elements in one window, each
element button in the colour of its kind. Click an element to see its atomic
number, oxidation numbers, name, boiling and melting points, protons, group
and electrons.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_STRIP_FILES ON)
# The Qt and C++ runtime libraries come from what the program file links; the linker cannot see the Qt
# platform plugins that open the window (only recommended by Qt's GUI library) nor the Thai fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-thai-tlwg")
# Without Qt's Wayland plugin a Wayland desktop shows the window through XWayland (blurred when scaled),
# or not at all where there is no XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_permissions.cmake) # folders 0755
include(CPack)
