# Compiler and linker flags for every target of the project.

# Warnings fail the build where the project is developed. A distribution builds with its own, newer compilers,
# whose new warnings must not stop the package from building: debian/rules turns VOSTREL_WERROR off.
option(VOSTREL_WERROR "Treat compiler warnings as errors" ON)
add_compile_options(-Wall -Wextra -Wpedantic)
if(VOSTREL_WERROR)
    add_compile_options(-Werror)
endif()

# The same source gives the same program wherever it is checked out and built: file names in the debug
# information and in __FILE__ are relative to the checkout and the build folder, not where they happen to be.
add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}=build -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)

# Hardened as Debian builds its programs (dpkg-buildflags with hardening=+all: stack protector, fortified C
# library calls, format checks, PIE, read-only relocations bound at start), and with the two protections
# Debian's next release adds: control-flow protection and stack-clash protection. Not on the web, where
# emscripten's toolchain also counts as Linux but WebAssembly keeps its own stack and checks every call.
if(LINUX AND NOT EMSCRIPTEN)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security -Wdate-time
                        -fcf-protection -fstack-clash-protection)
    # Level 3 checks everything level 2 does, and also where the size of a buffer is only known at run
    # time. The checked functions need the optimiser; a debug build would only warn that they are off.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=3>)
    # Every symbol bound at start, so that the relocations can be made read-only before the program runs.
    add_link_options(LINKER:-z,relro,-z,now)
    # Our code is compiled for indirect-branch tracking and shadow stacks (-fcf-protection), but Debian 12's
    # C start-up files carry no such marks, and the linker would drop the program's for them. No Linux kernel
    # enforces indirect-branch tracking in user programs, and shadow stacks are switched on only where every
    # library loaded is marked too (as Debian's next release builds them), so the program states what its
    # own code supports.
    add_link_options(LINKER:-z,ibt,-z,shstk)
endif()

# The program file's header carries no link time, so that the same source links to the same Vostrel.exe.
if(WIN32)
    add_link_options(LINKER:--no-insert-timestamp)
endif()
