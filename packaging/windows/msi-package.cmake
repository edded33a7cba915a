# cpack's External generator runs this on its staged copy of the install tree: wixl (msitools)
# makes pellavin-<version>-win64.msi of it from pellavin.wxs and a list of the other files.
#   cpack -G External -D CPACK_PACKAGE_VERSION=1.0.1 -D CPACK_PACKAGE_FILE_NAME=... -B DIR
# makes another version of the same tree, as the Windows check does for its upgrade.
cmake_policy(VERSION 3.21)
set(top ${CPACK_TOPLEVEL_DIRECTORY})
get_filename_component(tree ${CPACK_TEMPORARY_DIRECTORY} NAME)
set(msi ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
set(wxs ${CMAKE_CURRENT_LIST_DIR}/pellavin.wxs)

# wixl takes its sources relative to the folder it runs in. pellavin.exe is in pellavin.wxs,
# with its shortcut; every other file gets a component of its own, named after its path so that
# the tables read plainly. (wixl-heat would name the folders at random.)
file(GLOB_RECURSE files RELATIVE ${top}/${tree} ${top}/${tree}/*)
list(REMOVE_ITEM files pellavin.exe)
function(msi_id prefix path out)
  string(MAKE_C_IDENTIFIER "${path}" id)
  set(${out} ${prefix}${id} PARENT_SCOPE)
endfunction()
set(folders "")
set(components "")
set(refs "")
set(folderPaths "")
set(ids "")
foreach(file ${files})
  # Each folder on the way, under its parent.
  get_filename_component(dir "${file}" DIRECTORY)
  set(parentId INSTALLDIR)
  set(path "")
  if(dir)
    string(REPLACE "/" ";" parts "${dir}")
    foreach(part ${parts})
      string(APPEND path "${part}")
      msi_id(d_ "${path}" dirId)
      if(NOT path IN_LIST folderPaths)
        list(APPEND folderPaths "${path}")
        list(APPEND ids ${dirId})
        string(APPEND folders "    <DirectoryRef Id=\"${parentId}\"><Directory Id=\"${dirId}\" Name=\"${part}\"/></DirectoryRef>\n")
      endif()
      set(parentId ${dirId})
      string(APPEND path "/")
    endforeach()
  endif()
  msi_id(f_ "${file}" fileId)
  list(APPEND ids ${fileId})
  string(APPEND components "    <DirectoryRef Id=\"${parentId}\">\n"
    "      <Component Id=\"${fileId}\" Guid=\"*\" Win64=\"yes\">\n"
    "        <File Id=\"${fileId}\" Source=\"$(var.SourceDir)/${file}\" KeyPath=\"yes\"/>\n"
    "      </Component>\n    </DirectoryRef>\n")
  string(APPEND refs "      <ComponentRef Id=\"${fileId}\"/>\n")
endforeach()
# Table keys are unique, and at most 72 characters long.
set(unique ${ids})
list(REMOVE_DUPLICATES unique)
foreach(id ${ids})
  string(LENGTH "${id}" length)
  if(length GREATER 72 OR NOT unique STREQUAL ids)
    message(FATAL_ERROR "The file names give no unique MSI table keys: ${ids}")
  endif()
endforeach()
file(WRITE ${top}/files.wxs "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
  "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n  <Fragment>\n${folders}${components}"
  "    <ComponentGroup Id=\"Files\">\n${refs}    </ComponentGroup>\n  </Fragment>\n</Wix>\n")
configure_file(${CPACK_PELLAVIN_ICON} ${top}/pellavin.ico COPYONLY)

# The product code names this version of the product: a new version needs a new one. The package
# code names this very file: both are derived, from the version and from everything that goes
# into the package, rather than drawn at random, so that a rebuild of the same commit gives the
# same bytes.
set(upgradeCode ${CPACK_PELLAVIN_MSI_UPGRADE_CODE})
string(UUID productCode NAMESPACE ${upgradeCode} NAME "Pellavin ${CPACK_PACKAGE_VERSION} x64" TYPE SHA1 UPPER)
file(READ ${wxs} contents)
file(READ ${top}/files.wxs fileList)
string(APPEND contents "${fileList}${CPACK_PACKAGE_VERSION}\n")
list(TRANSFORM files PREPEND ${tree}/ OUTPUT_VARIABLE packed)
foreach(file pellavin.ico ${tree}/pellavin.exe ${packed})
  file(SHA256 ${top}/${file} hash)
  string(APPEND contents "${file} ${hash}\n")
endforeach()
string(UUID packageCode NAMESPACE ${upgradeCode} NAME "${contents}" TYPE SHA1 UPPER)

# wixl and msibuild write the time they run into the summary information's Created and Last
# Saved; with SOURCE_DATE_EPOCH set they run at that time instead (string(TIMESTAMP) reads it),
# on a clock that stands still: one that starts there and runs would write a time that depends
# on how long the tools take.
set(atTime "")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  if(NOT CPACK_PELLAVIN_FAKETIME)
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is set, but faketime, which gives it to wixl, was not found")
  endif()
  string(TIMESTAMP when "%Y-%m-%d %H:%M:%S" UTC)
  set(atTime ${CMAKE_COMMAND} -E env TZ=UTC ${CPACK_PELLAVIN_FAKETIME} -f ${when})
endif()

file(REMOVE ${msi})
execute_process(COMMAND ${atTime} ${CPACK_PELLAVIN_WIXL} --arch x64 -o ${msi}
    -D Version=${CPACK_PACKAGE_VERSION} -D UpgradeCode=${upgradeCode} -D ProductCode=${productCode} -D SourceDir=${tree}
    -D Icon=pellavin.ico -D Win64=yes ${wxs} files.wxs
  WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)
# The summary information as wixl writes it, but for its package code, which it draws at random.
execute_process(COMMAND ${atTime} ${CPACK_PELLAVIN_MSIBUILD} ${msi} -s "Pellavin ${CPACK_PACKAGE_VERSION}" "Varnholt Corp" "x64;1033"
    "{${packageCode}}"
  COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
