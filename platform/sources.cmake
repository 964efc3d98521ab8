# Platform.h's two implementations are chosen by the build (cmake/Windows.cmake, cmake/Native.cmake);
# these are the Windows programs' own services beside them.
tollan_win(
  Registry_win.cpp
  Temp_win.cpp
  Shell_win.cpp
)
