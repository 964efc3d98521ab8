tollan_core(
  UtilityLog.cpp
  OwnFolder.cpp
  TextFile.cpp
  SafeName.cpp
  GamePaths.cpp
)
