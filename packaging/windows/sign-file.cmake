# Signs one file from the command line, as makensis calls it for the uninstaller it writes:
#   cmake -DCPACK_PELLAVIN_OSSLSIGNCODE=... -DFILE=... -P sign-file.cmake
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
pellavin_sign("${FILE}")
