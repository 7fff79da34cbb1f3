# CPack's External generator runs this over the staged install tree: it makes
# the Windows installer with wixl (Debian's msitools), a 64-bit MSI that
# Windows' own installer installs, repairs, upgrades and removes.
find_program(WIXL wixl)
find_program(WIXL_HEAT wixl-heat)
if(NOT WIXL OR NOT WIXL_HEAT)
  message(FATAL_ERROR "wixl and wixl-heat (Debian package wixl) are needed for the Windows installer")
endif()

set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(work ${CPACK_TOPLEVEL_DIRECTORY}/msi)
file(MAKE_DIRECTORY ${work})

# Every staged file, one component each, under INSTALLDIR.
file(GLOB_RECURSE staged LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT staged)
list(TRANSFORM staged PREPEND "${stage}/")
string(REPLACE ";" "\n" listing "${staged}")
file(WRITE ${work}/files.txt "${listing}\n")
execute_process(
  COMMAND ${WIXL_HEAT} -p ${stage}/ --component-group InstalledFiles --var var.SourceDir
          --directory-ref INSTALLDIR --win64
  INPUT_FILE ${work}/files.txt OUTPUT_FILE ${work}/files.wxs RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wixl-heat failed over ${stage}")
endif()

# wixl takes the files' sources relative to where it runs.
set(msi ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_HEADWRIGHT_MSI_NAME})
file(COPY ${CPACK_HEADWRIGHT_ICON} DESTINATION ${work})
get_filename_component(icon_name ${CPACK_HEADWRIGHT_ICON} NAME)
file(RELATIVE_PATH icon ${stage} ${work}/${icon_name})
# The end of this version's range for the same-version upgrade (headwright.wxs).
if(NOT CPACK_PACKAGE_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "an MSI version is major.minor.patch, not ${CPACK_PACKAGE_VERSION}")
endif()
math(EXPR next_patch "${CMAKE_MATCH_3} + 1")
set(next_version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${next_patch})
execute_process(
  COMMAND ${WIXL} -a x64 -D SourceDir=. -D Win64=yes -D Version=${CPACK_PACKAGE_VERSION}
          -D NextVersion=${next_version} -D Icon=${icon}
          -o ${msi} ${CPACK_HEADWRIGHT_WXS} ${work}/files.wxs
  WORKING_DIRECTORY ${stage}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wixl failed to make ${msi}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
