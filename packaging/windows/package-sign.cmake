# Run by cpack once a package is made: signs the installer and the MSI when a certificate is
# given (codesign.cmake); a zip has no signature of its own, its program files are signed. Packs
# the symbols that package-stage.cmake took out into pellavin-<version>-win64-symbols.zip beside
# it (each package's run writes the same archive).
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.(exe|msi)$")
    pellavin_sign(${package})
  endif()
endforeach()

set(symbols ${CPACK_TOPLEVEL_DIRECTORY}/symbols)
if(CPACK_PELLAVIN_STRIP AND IS_DIRECTORY ${symbols})
  file(GLOB_RECURSE debugFiles LIST_DIRECTORIES false RELATIVE ${symbols} ${symbols}/*.debug)
  list(SORT debugFiles)
  set(archive ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-symbols.zip)
  if(NOT debugFiles)
    message(FATAL_ERROR "No symbols in ${symbols}")
  endif()
  # Dated the last commit's time where SOURCE_DATE_EPOCH gives it.
  set(epoch 0)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  endif()
  find_program(python NAMES python3 REQUIRED)
  file(REMOVE ${archive})
  execute_process(COMMAND ${python} ${CMAKE_CURRENT_LIST_DIR}/zip-files.py ${archive} ${epoch} ${debugFiles}
    WORKING_DIRECTORY ${symbols} COMMAND_ERROR_IS_FATAL ANY)
  message(STATUS "Symbols: ${archive}")
endif()
