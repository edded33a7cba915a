# Run by cpack once a package is made: signs the installer and the MSI when a certificate is
# given (codesign.cmake). A zip has no signature of its own; its program files are signed.
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.(exe|msi)$")
    pellavin_sign(${package})
  endif()
endforeach()
