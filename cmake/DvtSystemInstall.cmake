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
# Each folder is defined only for the source files that read it, not for the
# whole target: switching DVT_SYSTEM_INSTALL in a build folder (scripts/package
# does so to make the packages from scripts/test's build) then recompiles
# those few files instead of every file of the target.
function(dvt_define_for_readers target macro value)
  if(NOT TARGET ${target})
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(folder ${target} SOURCE_DIR)
  set(readers)
  foreach(source IN LISTS sources)
    if(NOT IS_ABSOLUTE "${source}")
      set(source "${folder}/${source}")
    endif()
    file(STRINGS "${source}" uses REGEX "${macro}")
    if(uses)
      list(APPEND readers "${source}")
    endif()
  endforeach()
  if(NOT readers)
    message(FATAL_ERROR "no source file of ${target} reads ${macro}")
  endif()
  set_property(SOURCE ${readers} TARGET_DIRECTORY ${target} APPEND
               PROPERTY COMPILE_DEFINITIONS "${macro}=\"${value}\"")
endfunction()
dvt_define_for_readers(dvt_sat DVT_MACHINE_SETTINGS_FOLDER "${DVT_MACHINE_SETTINGS_FOLDER}")
dvt_define_for_readers(dvt_emulator_core DVT_MACHINE_EMULATOR_FOLDER
                       "${DVT_MACHINE_EMULATOR_FOLDER}")
