# headwright_version_resource(<target> <description>): gives a Windows
# program its version resource (file and product version from the project's,
# product name, description, copyright), made from version_info.rc.in.
function(headwright_version_resource target description)
  set(HEADWRIGHT_RC_NAME ${target})
  set(HEADWRIGHT_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
