# A system install (the Debian packages, DVT_SYSTEM_INSTALL=ON) never writes
# beside the installed programs: the session counter and settings live in
# one file for the whole machine under <localstatedir>/lib/dravovexa, and our
# emulator keeps its device under <localstatedir>/lib/dravovexa-emulador
# (/var/lib/... for the /usr prefix). Those folders are made by the
# packages' maintainer scripts; users without access to them fall back on
# their own folders.
if(NOT DVT_SYSTEM_INSTALL)
  return()
endif()
include(GNUInstallDirs)
set(DVT_MACHINE_SETTINGS_FOLDER "${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/dravovexa")
set(DVT_MACHINE_EMULATOR_FOLDER "${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/dravovexa-emulador")
if(TARGET dvt_sat)
  target_compile_definitions(dvt_sat PRIVATE
                             DVT_MACHINE_SETTINGS_FOLDER="${DVT_MACHINE_SETTINGS_FOLDER}")
endif()
if(TARGET dvt_emulator_core)
  target_compile_definitions(dvt_emulator_core PRIVATE
                             DVT_MACHINE_EMULATOR_FOLDER="${DVT_MACHINE_EMULATOR_FOLDER}")
endif()
