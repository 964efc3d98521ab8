tollan_core(
  ConsoleModel.cpp
)
tollan_win(
  ConsoleCtrl.cpp
)
