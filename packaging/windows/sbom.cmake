# Run by cpack once a package is made: writes its bill of materials, PACKAGE.cdx.json, beside
# where cpack puts the package (notices.py), with the hash of every file as packed, that is of
# the staged tree after package-stage.cmake has run.
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.(zip|exe|msi)$")
    get_filename_component(name ${package} NAME)
    execute_process(COMMAND ${CPACK_PELLAVIN_PYTHON} ${CPACK_PELLAVIN_NOTICES} sbom ${CPACK_TEMPORARY_DIRECTORY}
        ${CPACK_PELLAVIN_ORIGINS} ${CPACK_PACKAGE_DIRECTORY}/${name}.cdx.json
      COMMAND_ERROR_IS_FATAL ANY)
    message(STATUS "Bill of materials: ${CPACK_PACKAGE_DIRECTORY}/${name}.cdx.json")
  endif()
endforeach()
