# Run by cpack on each package's copy of the install tree, before it is packed:
#  - strips every PE file, keeping its symbols under symbols/ in the package's own work folder
#    (package-sign.cmake packs them beside the packages) and a link to them in the file;
#  - then signs every PE file when a certificate is given (codesign.cmake), the Qt and MinGW
#    libraries too, since publisher rules on a school's machines block unsigned ones;
#  - then gives every file the last commit's time when SOURCE_DATE_EPOCH is set, so that the
#    zip, the installer and the MSI come out the same wherever and whenever they are built.
include(${CMAKE_CURRENT_LIST_DIR}/codesign.cmake)
set(tree ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB_RECURSE binaries LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*.exe ${tree}/*.dll)
list(SORT binaries)
if(NOT binaries)
  message(FATAL_ERROR "No program or library in ${tree} to strip and sign")
endif()

set(symbols ${CPACK_TOPLEVEL_DIRECTORY}/symbols)
file(REMOVE_RECURSE ${symbols})
foreach(binary ${binaries})
  set(file ${tree}/${binary})
  if(CPACK_PELLAVIN_STRIP)
    # The debug file sits where the archive unpacked over the install folder puts it: beside
    # the file it belongs to, which is where a debugger follows the link.
    get_filename_component(folder ${symbols}/${binary} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    execute_process(COMMAND ${CPACK_PELLAVIN_OBJCOPY} --only-keep-debug ${file} ${symbols}/${binary}.debug
      COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CPACK_PELLAVIN_STRIP} --strip-all ${file} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${CPACK_PELLAVIN_OBJCOPY} --add-gnu-debuglink=${symbols}/${binary}.debug ${file}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
  pellavin_sign(${file})
endforeach()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
  execute_process(COMMAND touch -h -d @$ENV{SOURCE_DATE_EPOCH} ${tree} ${entries}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
