# Authenticode signing (SHA-256) with osslsigncode, for the CPack scripts of
# the Windows packages. A release names its certificate in the environment:
#   HEADWRIGHT_SIGNING_CERT      a PKCS#12 file with the code-signing certificate and its key
#   HEADWRIGHT_SIGNING_PASSWORD  its password (may be empty)
#   HEADWRIGHT_TIMESTAMP_URL     an RFC 3161 time-stamp server (optional; without it a
#                                signature is valid only while the certificate is)
# Without HEADWRIGHT_SIGNING_CERT the packages are made unsigned, and say so.

function(headwright_signing_enabled result)
  if(DEFINED ENV{HEADWRIGHT_SIGNING_CERT} AND NOT "$ENV{HEADWRIGHT_SIGNING_CERT}" STREQUAL "")
    if(NOT EXISTS "$ENV{HEADWRIGHT_SIGNING_CERT}")
      message(FATAL_ERROR "HEADWRIGHT_SIGNING_CERT names $ENV{HEADWRIGHT_SIGNING_CERT}, which does not exist")
    endif()
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()

# Signs FILE in place: the signed copy is written beside it and moved over it,
# so a failed signing leaves no half-signed file in a package.
function(headwright_sign file work)
  find_program(HEADWRIGHT_OSSLSIGNCODE osslsigncode)
  if(NOT HEADWRIGHT_OSSLSIGNCODE)
    message(FATAL_ERROR "osslsigncode (Debian package osslsigncode) is needed to sign ${file}")
  endif()
  set(args -pkcs12 "$ENV{HEADWRIGHT_SIGNING_CERT}" -h sha256 -n Headwright)
  # The password goes through a file, not the command line other users can see.
  if(NOT "$ENV{HEADWRIGHT_SIGNING_PASSWORD}" STREQUAL "")
    file(WRITE ${work}/signing-password "$ENV{HEADWRIGHT_SIGNING_PASSWORD}")
    file(CHMOD ${work}/signing-password PERMISSIONS OWNER_READ OWNER_WRITE)
    list(APPEND args -readpass ${work}/signing-password)
  endif()
  if(NOT "$ENV{HEADWRIGHT_TIMESTAMP_URL}" STREQUAL "")
    list(APPEND args -ts "$ENV{HEADWRIGHT_TIMESTAMP_URL}")
  endif()
  execute_process(COMMAND ${HEADWRIGHT_OSSLSIGNCODE} sign ${args} -in ${file} -out ${file}.signed
                  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
  file(REMOVE ${work}/signing-password)
  if(NOT status EQUAL 0)
    file(REMOVE ${file}.signed)
    message(FATAL_ERROR "osslsigncode could not sign ${file}:\n${log}")
  endif()
  file(RENAME ${file}.signed ${file})
endfunction()
