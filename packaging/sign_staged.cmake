# CPack runs this over each package's staged tree before it makes the ZIP or
# the MSI: every program and library the package carries is signed there, so
# both packages carry the same signed files. The MSI itself is signed last,
# by msi.cmake.
include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
headwright_signing_enabled(signing)
if(NOT signing)
  message(STATUS "Headwright: HEADWRIGHT_SIGNING_CERT is not set: the Windows packages are not signed")
  return()
endif()
file(GLOB_RECURSE binaries LIST_DIRECTORIES false
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.exe ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.dll)
if(NOT binaries)
  message(FATAL_ERROR "no .exe or .dll to sign in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(binary IN LISTS binaries)
  headwright_sign(${binary} ${CPACK_TOPLEVEL_DIRECTORY})
endforeach()
list(LENGTH binaries count)
message(STATUS "Headwright: signed ${count} programs and libraries")
