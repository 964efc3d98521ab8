# Native build: the portable core with its unit tests, fuzz targets and benchmarks.
# There is no Windows header on this side, so a core source that includes one fails here.
option(TOLLAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(TOLLAN_BENCH "Build the benchmarks (use a separate, unsanitized build tree)" OFF)

find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
find_package(Threads REQUIRED)

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(TOLLAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

list(APPEND TOLLAN_CORE_platform ${CMAKE_SOURCE_DIR}/platform/Platform_posix.cpp)
include(cmake/Libraries.cmake)
target_link_libraries(tollan_platform PUBLIC Threads::Threads)
target_link_libraries(tollan_maps PUBLIC PkgConfig::MINIZIP ZLIB::ZLIB)
target_link_libraries(tollan_installer PUBLIC PkgConfig::MINIZIP ZLIB::ZLIB)

if(TOLLAN_BENCH)
  add_subdirectory(bench)
else()
  add_subdirectory(tests/unit)
  add_subdirectory(tests/fuzz)
endif()
