# The Installer's portable core: the wizard's navigation, the run steps, the payload's rules, the
# uninstaller's plan and the log. The Win32 programs (Installer.exe, Updater.exe, Uninstall.exe)
# and the payload are built by installer/CMakeLists.txt in the Windows tree.
tollan_core(
  InstallLog.cpp
  InstallPlan.cpp
  InstallRun.cpp
  WizardModel.cpp
)
