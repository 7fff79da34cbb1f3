# CPack's External generator runs this over the staged install tree: it makes
# the Windows installer with wixl (Debian's msitools), a 64-bit MSI that
# Windows' own installer installs, repairs, upgrades and removes.
find_program(WIXL wixl)
find_program(WIXL_HEAT wixl-heat)
if(NOT WIXL OR NOT WIXL_HEAT)
  message(FATAL_ERROR "wixl and wixl-heat (Debian package wixl) are needed for the Windows installer")
endif()
find_program(MSIBUILD msibuild)
if(NOT MSIBUILD)
  message(FATAL_ERROR "msibuild (Debian package msitools) is needed for the Windows installer's PATH entry")
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
# The PATH entry, which wixl 0.101 cannot express: the Environment table
# appends the folder to the system PATH while the PathEntry feature is
# installed and takes it off with it ("=-*": set at install, removed at
# uninstall, the machine's variable; "[~];" appends), the Condition table
# leaves the feature out when ADDTOPATH is 0, and the two standard actions
# at their usual places in the sequence. The two public properties are
# secure, so that Windows hands them to the installing service.
file(WRITE ${work}/Environment.idt
  "Environment\tName\tValue\tComponent_\n"
  "s72\tl255\tL255\ts72\n"
  "Environment\tEnvironment\n"
  "PathEntry\t=-*PATH\t[~];[INSTALLDIR]\tPathEntry\n")
file(WRITE ${work}/Condition.idt
  "Feature_\tLevel\tCondition\n"
  "s38\ti2\tS255\n"
  "Condition\tFeature_\tLevel\n"
  "PathEntry\t0\tADDTOPATH=\"0\"\n")
execute_process(
  COMMAND ${MSIBUILD} ${msi} -i ${work}/Environment.idt -i ${work}/Condition.idt
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
          -q "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SAME_VERSION_INSTALLED;INSTALLDIR;ADDTOPATH' WHERE `Property` = 'SecureCustomProperties'"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msibuild could not add the PATH entry to ${msi}")
endif()

# The MSI is signed last: any change after it would break its signature.
include(${CPACK_HEADWRIGHT_SIGNING})
headwright_signing_enabled(signing)
if(signing)
  headwright_sign(${msi} ${work})
  message(STATUS "Headwright: signed ${msi}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${msi})
