tollan_core(
  LevelCatalogue.cpp
  LevelDiscovery.cpp
  MapListFiles.cpp
)
