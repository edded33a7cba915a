# Run by cpack on each package's copy of the install tree, before it is packed: signs the
# program when a certificate is given (codesign.cmake), then gives every file the
# last commit's time when SOURCE_DATE_EPOCH is set, so that the zip, the installer and the MSI
# come out the same wherever and whenever they are built. The Qt and MinGW libraries are not
# ours to sign.
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
pellavin_sign(${CPACK_TEMPORARY_DIRECTORY}/pellavin.exe)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
  execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${CPACK_TEMPORARY_DIRECTORY} ${entries}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
