# Windows build: statically linked programs, resources through windres. The i686 tree holds the
# delivered programs; an x86_64 tree of the same sources runs the Wine tests on hosts that cannot
# run 32-bit code.
option(TOLLAN_WINE_TESTS "Register the tests that run programs under Wine" ON)
option(TOLLAN_PE_CHECKS "Register the static checks of the delivered (i686) files" ON)
set(ZLIB_SRC ${CMAKE_SOURCE_DIR}/third_party/zlib)
if(NOT EXISTS ${ZLIB_SRC}/contrib/minizip/unzip.c)
  message(FATAL_ERROR "minizip sources missing: run scripts/setup (apt-get source zlib)")
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-cast-function-type)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
add_link_options(-static -static-libgcc -static-libstdc++)
# Small and still quick enough for a program that mostly waits: optimised for size before speed
# (-Oz), and unused functions dropped at link time. No interprocedural scalar replacement: its
# clones of functions whose originals stay cost Tollan.exe some 8 KB and gain nothing it needs;
# no jump tables, whose tables and relocations outweigh the comparisons they save.
# No C++ type information (nothing asks a type its name or casts by it; exceptions keep what they
# need), and no unwind tables for C code, which no exception ever crosses: the C++ callbacks that
# C calls catch everything at their edge.
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-Oz -DNDEBUG -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables")
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-Oz -fno-ipa-sra -fno-jump-tables -DNDEBUG -ffunction-sections -fdata-sections -fno-rtti")
add_link_options(-s -Wl,--gc-sections)

# minizip from zlib's contrib, against the MinGW zlib package.
set(MZ ${ZLIB_SRC}/contrib/minizip)
add_library(minizip STATIC ${MZ}/ioapi.c ${MZ}/unzip.c ${MZ}/zip.c ${MZ}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${MZ})
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC z)

list(APPEND TOLLAN_CORE_platform ${CMAKE_SOURCE_DIR}/platform/Platform_win.cpp)
include(cmake/Libraries.cmake)
target_link_libraries(tollan_maps PUBLIC minizip)
target_link_libraries(tollan_installer PUBLIC minizip)
# The Win32 toolkit brings the system's libraries with it, so every shell links them after itself.
target_link_libraries(tollan_wingui_shell PUBLIC comctl32 comdlg32 shell32 ole32 gdi32 user32 advapi32)
target_link_libraries(tollan_platform_shell PUBLIC shell32 advapi32 user32)
# The alert sender speaks HTTP through WinHTTP; no program carries it before it sends alerts.
target_link_libraries(tollan_server_shell PUBLIC winhttp)

# Parts of the compiler's run-time replaced on purpose, as objects of every program that carries
# them (an archive would come too late for the linker); runtime/README.md says why.
add_library(tollan_runtime OBJECT ${CMAKE_SOURCE_DIR}/runtime/NoDemangle.cpp)

# windres does not report the files a script pulls in (manifest, icons, bitmaps, fragments).
file(GLOB_RECURSE TOLLAN_RC_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.manifest
     ${CMAKE_SOURCE_DIR}/resources/*.ico ${CMAKE_SOURCE_DIR}/resources/*.bmp ${CMAKE_SOURCE_DIR}/resources/*.rc
     ${CMAKE_SOURCE_DIR}/resources/*.h)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/Tollan.rc PROPERTIES OBJECT_DEPENDS "${TOLLAN_RC_INPUTS}")
add_executable(Tollan WIN32 ${TOLLAN_WIN_app} ${CMAKE_SOURCE_DIR}/resources/Tollan.rc)
target_link_libraries(Tollan PRIVATE tollan_runtime tollan_app tollan_server_shell tollan_config_shell tollan_controls_shell
                      comctl32 ws2_32 shell32 ole32 gdi32 user32 advapi32 comdlg32)
# Where Tollan.exe's bytes go: bench/size_map.py reads this map.
target_link_options(Tollan PRIVATE -Wl,-Map=${CMAKE_BINARY_DIR}/Tollan.map)

add_subdirectory(gamesim)
add_subdirectory(delete)
add_subdirectory(installer)
add_subdirectory(tests/e2e)

# Figures under Wine (bench/win): programs run by hand or by bench/*.sh, not by ctest.
add_executable(ConsoleSoak bench/win/ConsoleSoak.cpp)
target_link_libraries(ConsoleSoak PRIVATE tollan_controls_shell psapi comctl32 comdlg32 user32 gdi32)
