tollan_core(
  ConsoleModel.cpp
)
