# Authenticode signing with osslsigncode, for the packaging scripts. Nothing is signed unless
# PELLAVIN_SIGN_CERT and PELLAVIN_SIGN_KEY name a certificate (PEM, with its chain) and its key:
#   PELLAVIN_SIGN_PASSWORD_FILE  a file holding the key's password
#   PELLAVIN_SIGN_TIMESTAMP      an RFC 3161 timestamp server; without one the signature carries
#                                SOURCE_DATE_EPOCH as its signing time, where that is set
function(pellavin_sign file)
  if(NOT DEFINED ENV{PELLAVIN_SIGN_CERT} AND NOT DEFINED ENV{PELLAVIN_SIGN_KEY})
    return()
  endif()
  if(NOT DEFINED ENV{PELLAVIN_SIGN_CERT} OR NOT DEFINED ENV{PELLAVIN_SIGN_KEY})
    message(FATAL_ERROR "Signing needs both PELLAVIN_SIGN_CERT and PELLAVIN_SIGN_KEY")
  endif()
  if(NOT CPACK_PELLAVIN_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode, which was not found when the build was configured")
  endif()
  set(args -certs "$ENV{PELLAVIN_SIGN_CERT}" -key "$ENV{PELLAVIN_SIGN_KEY}" -h sha256 -n Pellavin)
  if(DEFINED ENV{PELLAVIN_SIGN_PASSWORD_FILE})
    list(APPEND args -readpass "$ENV{PELLAVIN_SIGN_PASSWORD_FILE}")
  endif()
  if(DEFINED ENV{PELLAVIN_SIGN_TIMESTAMP})
    list(APPEND args -ts "$ENV{PELLAVIN_SIGN_TIMESTAMP}")
  elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
    list(APPEND args -time "$ENV{SOURCE_DATE_EPOCH}")
  endif()
  # osslsigncode writes a new file rather than changing the one it reads.
  file(REMOVE "${file}.signed")
  execute_process(COMMAND "${CPACK_PELLAVIN_OSSLSIGNCODE}" sign ${args} -in "${file}" -out "${file}.signed"
    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Signing ${file} failed:\n${out}")
  endif()
  file(RENAME "${file}.signed" "${file}")
  message(STATUS "Signed ${file}")
endfunction()
