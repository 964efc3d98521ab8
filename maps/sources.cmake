tollan_core(
  LevelCatalogue.cpp
  BufferedZipIo.cpp
  LevelDiscovery.cpp
  MapListFiles.cpp
)
