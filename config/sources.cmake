tollan_core(
  ServerConfig.cpp
  Availability.cpp
  ConfigKeys.cpp
  HistoryStore.cpp
  ScriptWriter.cpp
)
