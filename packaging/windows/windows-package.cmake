# The runnable Windows folder: the program, its Cursors folder, the Qt libraries and plugins it
# loads and the MinGW runtime, which is what windeployqt would gather. "cpack" makes
# pellavin-<version>-win64.zip of it and, where NSIS is installed, an installer, and where wixl
# and msibuild (msitools) are, an MSI. Signing and SOURCE_DATE_EPOCH: codesign.cmake and
# package-stage.cmake.

install(TARGETS pellavin RUNTIME DESTINATION .)
# Started from its own folder, the program finds Cursors\... beside it.
install(DIRECTORY Cursors DESTINATION .)

foreach(module Core Gui Widgets PrintSupport)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# The splash and About pictures are JPEG; the window icon comes from an ICO file.
install(FILES $<TARGET_FILE:Qt6::QJpegPlugin> $<TARGET_FILE:Qt6::QICOPlugin> DESTINATION imageformats)

# Qt's own translations of its boxes' buttons, beside the program. A Qt for Windows built without
# its translations has none; then those of the build machine's Qt serve, which is the same
# version (a cross-build takes that Qt's tools), since .qm files are alike on every system.
get_filename_component(qtTranslations "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}" ABSOLUTE)
if(CMAKE_CROSSCOMPILING AND NOT EXISTS "${qtTranslations}/qtbase_de.qm" AND QT_HOST_PATH)
  set(qtTranslations "${QT_HOST_PATH}/share/qt6/translations")
endif()
foreach(language ${PELLAVIN_LANGUAGES})
  install(FILES ${qtTranslations}/qtbase_${language}.qm DESTINATION translations OPTIONAL)
endforeach()

if(MINGW)
  # The compiler knows where its own runtime libraries are.
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "The MinGW runtime library ${dll} was not found")
    endif()
    install(FILES ${path} DESTINATION .)
  endforeach()
endif()

set(CPACK_PACKAGE_FILE_NAME pellavin-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Pellavin)
set(CPACK_GENERATOR ZIP)
find_program(PELLAVIN_MAKENSIS makensis)
if(PELLAVIN_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()
# The program is signed, and every file given the last commit's time, in each
# package's copy of the tree; the installer and the MSI are signed once made.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-stage.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-sign.cmake)
find_program(PELLAVIN_OSSLSIGNCODE osslsigncode)
set(CPACK_PELLAVIN_OSSLSIGNCODE "${PELLAVIN_OSSLSIGNCODE}")
if(MINGW)
  # Every PE file ships stripped; its symbols go into pellavin-<version>-win64-symbols.zip beside
  # the packages, for reading a crash report. The binutils are named like the compiler.
  string(REGEX REPLACE "g\\+\\+(-posix|-win32)?$" "" binutilsPrefix "${CMAKE_CXX_COMPILER}")
  find_program(PELLAVIN_STRIP ${binutilsPrefix}strip NO_CACHE REQUIRED)
  find_program(PELLAVIN_OBJCOPY ${binutilsPrefix}objcopy NO_CACHE REQUIRED)
  set(CPACK_PELLAVIN_STRIP "${PELLAVIN_STRIP}")
  set(CPACK_PELLAVIN_OBJCOPY "${PELLAVIN_OBJCOPY}")
endif()

find_program(PELLAVIN_WIXL wixl)
find_program(PELLAVIN_MSIBUILD msibuild)
find_program(PELLAVIN_FAKETIME faketime)
if(PELLAVIN_WIXL AND PELLAVIN_MSIBUILD)
  list(APPEND CPACK_GENERATOR External)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/msi-package.cmake)
  foreach(tool WIXL MSIBUILD FAKETIME)
    set(CPACK_PELLAVIN_${tool} "${PELLAVIN_${tool}}")
  endforeach()
  set(CPACK_PELLAVIN_ICON ${PROJECT_SOURCE_DIR}/windows/pictures/pellavin.ico)
endif()

set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for the 64-bit program: NSIS makes 32-bit ones unless told, and those need
# the 32-bit half of the system (which a Wine without its i386 part lacks).
# Files keep no time of their own in the installer: CPack writes the options page it reserves
# when it packs, which would give every build of one commit another installer.
# The uninstaller that the installer writes is signed too, as makensis makes it. (makensis runs
# the command through the shell; no double quotes, which CPack's copy of this value would lose.)
set(CPACK_NSIS_DEFINES "Target amd64-unicode\nSetDateSave off\n!uninstfinalize `'${CMAKE_COMMAND}' \
'-DCPACK_PELLAVIN_OSSLSIGNCODE=${PELLAVIN_OSSLSIGNCODE}' '-DFILE=%1' -P '${CMAKE_CURRENT_LIST_DIR}/sign-file.cmake'`")
set(CPACK_NSIS_DISPLAY_NAME Pellavin)
set(CPACK_NSIS_PACKAGE_NAME Pellavin)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/windows/pictures/pellavin.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/windows/pictures/pellavin.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME pellavin.exe)
# The Start-menu shortcut starts the program in the install folder (a shortcut's working folder
# is the installer's output folder), where Cursors\... resolves.
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "SetOutPath '$INSTDIR'\nCreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Pellavin.lnk' '$INSTDIR\\\\pellavin.exe'")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\Pellavin.lnk'")
# The installer's own template (NSIS.template.in): an upgrade in the earlier install's folder,
# no downgrade, and no install over the MSI's. It finds the earlier version under the same key
# in Apps and Features, which by default would carry the version and so differ, and the MSI by
# its upgrade code.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
# The MSI's upgrade code stays the same for every version: it is how a later MSI, and the
# installer, find an installed one (msi-package.cmake gives it to pellavin.wxs).
set(CPACK_PELLAVIN_MSI_UPGRADE_CODE 728B17BD-B665-49F7-AC75-D318F924EDB8)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Pellavin)
include(${CMAKE_CURRENT_LIST_DIR}/notices.cmake)
