# The licences of what the Windows packages bundle, in their licenses\
# folder: the texts come from the Debian packages the build takes the parts
# from, the versions from the packages and from Qt for Windows' own build.
set(debian_texts
  /usr/share/common-licenses/GPL-3 GPL-3.txt
  /usr/share/doc/gcc-mingw-w64-base/copyright gcc-runtime-copyright.txt
  /usr/share/doc/mingw-w64-x86-64-dev/copyright mingw-w64-copyright.txt)
if(TARGET velk)
  list(APPEND debian_texts
    /usr/share/common-licenses/LGPL-3 LGPL-3.txt
    /usr/share/doc/qt6-base-dev/copyright qt6-base-copyright.txt)
endif()
set(licenses ${CMAKE_CURRENT_BINARY_DIR}/licenses)
file(MAKE_DIRECTORY ${licenses})
while(debian_texts)
  list(POP_FRONT debian_texts from to)
  if(NOT EXISTS ${from})
    message(FATAL_ERROR "${from} is missing: the Windows packages carry it as licenses/${to}")
  endif()
  configure_file(${from} ${licenses}/${to} COPYONLY)
endwhile()

function(debian_version package out)
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
                  OUTPUT_VARIABLE version RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR version STREQUAL "")
    message(FATAL_ERROR "the Debian package ${package} is not installed: its version goes into licenses/README.txt")
  endif()
  set(${out} ${version} PARENT_SCOPE)
endfunction()
debian_version(gcc-mingw-w64-x86-64-posix-runtime GCC_PACKAGE_VERSION)
string(REGEX REPLACE "-.*" "" GCC_PACKAGE_VERSION ${GCC_PACKAGE_VERSION})
debian_version(mingw-w64-x86-64-dev MINGW_PACKAGE_VERSION)
string(REGEX REPLACE "-.*" "" MINGW_PACKAGE_VERSION ${MINGW_PACKAGE_VERSION})

set(QT_ENTRY "")
if(TARGET velk)
  # scripts/build-qt-windows.sh notes Debian's source version in its prefix;
  # the host's qt6-base-dev, whose copyright file ships, has the same one.
  get_filename_component(qt_prefix ${Qt6_DIR}/../../.. ABSOLUTE)
  if(NOT EXISTS ${qt_prefix}/.complete)
    message(FATAL_ERROR "Qt for Windows at ${qt_prefix} is not from scripts/build-qt-windows.sh: "
                        "its licence note cannot name its source")
  endif()
  file(STRINGS ${qt_prefix}/.complete QT_DEBIAN_VERSION LIMIT_COUNT 1)
  debian_version(qt6-base-dev host_qt_version)
  if(NOT host_qt_version STREQUAL QT_DEBIAN_VERSION)
    message(FATAL_ERROR "Qt for Windows is built from qt6-base ${QT_DEBIAN_VERSION}, the host has ${host_qt_version}: "
                        "rebuild it (scripts/build-qt-windows.sh)")
  endif()
  string(REGEX REPLACE "[+-].*" "" QT_UPSTREAM_VERSION ${QT_DEBIAN_VERSION})
  # Qt's configure options, as the build script gives them.
  file(READ ${PROJECT_SOURCE_DIR}/scripts/build-qt-windows.sh script)
  if(NOT script MATCHES "\noptions=\\(\n([^)]*)\n\\)")
    message(FATAL_ERROR "no options=( ... ) in scripts/build-qt-windows.sh")
  endif()
  string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")
  set(QT_OPTIONS "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    string(APPEND QT_OPTIONS "      ${line}\n")
  endforeach()
  file(READ ${CMAKE_CURRENT_LIST_DIR}/licenses-qt.txt.in entry)
  string(CONFIGURE "\n${entry}" QT_ENTRY @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/qt-source.txt.in ${licenses}/qt-source.txt @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/qt6-base.patch ${licenses}/qt6-base.patch COPYONLY)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/licenses.txt.in ${licenses}/README.txt @ONLY)
install(DIRECTORY ${licenses}/ DESTINATION licenses)
