# Run by cpack on each package's copy of the install tree, before it is packed: signs the
# program's own files when a certificate is given (codesign.cmake). The Qt and MinGW libraries
# are not ours to sign.
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
foreach(own pellavin.exe pellavin_printing.dll)
  pellavin_sign(${CPACK_TEMPORARY_DIRECTORY}/${own})
endforeach()
