# What the Windows packages owe for the files that are not ours: THIRD-PARTY-NOTICES.txt beside
# the program, written from the installed tree (every file traced to its component, licence and
# source), and a CycloneDX bill of materials beside each package (sbom.cmake), both by
# notices.py. Included last by windows-package.cmake, so that the notices see every file.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
get_filename_component(PELLAVIN_NOTICES_QT "${QT6_INSTALL_PREFIX}" ABSOLUTE)
if(NOT EXISTS "${PELLAVIN_NOTICES_QT}/pellavin-qt-notices.json")
  message(FATAL_ERROR "${PELLAVIN_NOTICES_QT} has no pellavin-qt-notices.json, which names the third-party code in this Qt: "
    "scripts/qt-mingw.sh makes it (with scripts/qt-notices.py)")
endif()

# Where the files that are neither ours nor Qt's were installed from, and where they land.
set(PELLAVIN_NOTICES_FROM "")
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(folder "${path}" DIRECTORY)
    list(APPEND PELLAVIN_NOTICES_FROM "[\"\", \"${folder}\"]")
  endforeach()
endif()
list(APPEND PELLAVIN_NOTICES_FROM "[\"translations/\", \"${qtTranslations}\"]")
list(REMOVE_DUPLICATES PELLAVIN_NOTICES_FROM)
list(JOIN PELLAVIN_NOTICES_FROM ", " PELLAVIN_NOTICES_FROM)

# A Windows program with a WinMain gets Qt's entry point, a static library, linked into it.
set(PELLAVIN_NOTICES_LINKED "")
if(TARGET Qt6::EntryPointImplementation)
  set(PELLAVIN_NOTICES_LINKED "\"src/entrypoint\"")
endif()

set(PELLAVIN_NOTICES_ORIGINS ${PROJECT_BINARY_DIR}/pellavin-origins.json)
set(CPACK_PELLAVIN_PYTHON ${Python3_EXECUTABLE})
set(CPACK_PELLAVIN_NOTICES ${CMAKE_CURRENT_LIST_DIR}/notices.py)
set(CPACK_PELLAVIN_ORIGINS ${PELLAVIN_NOTICES_ORIGINS})
list(APPEND CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/sbom.cmake)

# The vendor and contact are set after this file is read: the origins are written, and the
# notices' install step added (after every other one), at the end of the top folder's CMakeLists.
function(pellavin_notices)
  file(WRITE ${PELLAVIN_NOTICES_ORIGINS} "{\"name\": \"${PROJECT_NAME}\", \"version\": \"${PROJECT_VERSION}\",
 \"vendor\": \"${CPACK_PACKAGE_VENDOR}\", \"contact\": \"${CPACK_PACKAGE_CONTACT}\",
 \"sources_archive\": \"pellavin-${PROJECT_VERSION}-windows-sources.tar\",
 \"ours\": [\"pellavin.exe\", \"Cursors/*\"], \"program\": \"pellavin.exe\", \"qt\": \"${PELLAVIN_NOTICES_QT}\",
 \"qt_linked_in\": [${PELLAVIN_NOTICES_LINKED}],
 \"installed_from\": [${PELLAVIN_NOTICES_FROM}]}\n")
  install(CODE "execute_process(COMMAND \"${Python3_EXECUTABLE}\" \"${CPACK_PELLAVIN_NOTICES}\" notices
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\" \"${PELLAVIN_NOTICES_ORIGINS}\" COMMAND_ERROR_IS_FATAL ANY)")
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL pellavin_notices)
