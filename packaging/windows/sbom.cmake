# Run by cpack once a package is made: writes its bill of materials, PACKAGE.cdx.json, beside it
# (notices.py), with the hash of every file as packed, that is of the staged tree after
# package-stage.cmake has run.
foreach(package ${CPACK_PACKAGE_FILES})
  execute_process(COMMAND ${CPACK_PELLAVIN_PYTHON} ${CPACK_PELLAVIN_NOTICES} sbom ${CPACK_TEMPORARY_DIRECTORY}
      ${CPACK_PELLAVIN_ORIGINS} ${package}
    COMMAND_ERROR_IS_FATAL ANY)
  message(STATUS "Bill of materials: ${package}.cdx.json")
endforeach()
