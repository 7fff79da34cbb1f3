# What a Qt program needs beside it to start on a clean Windows: Qt's DLLs,
# the platform and style plugins in their own folders, and MinGW-w64's runtime
# DLLs, which Qt's DLLs link.

set(headwright_mingw_runtime_dlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(path "${path}" ABSOLUTE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  list(APPEND headwright_mingw_runtime_dlls ${path})
endforeach()

# The folders that hold the DLLs a test needs, for WINEPATH.
set(headwright_windows_dll_dirs)
foreach(dll IN LISTS headwright_mingw_runtime_dlls)
  get_filename_component(dir ${dll} DIRECTORY)
  list(APPEND headwright_windows_dll_dirs ${dir})
endforeach()
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
  get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_bin_dir ${qt_core_dll} DIRECTORY)
list(PREPEND headwright_windows_dll_dirs ${qt_bin_dir})
list(REMOVE_DUPLICATES headwright_windows_dll_dirs)
# Wine reads Windows paths: Z: is the Unix root.
list(TRANSFORM headwright_windows_dll_dirs PREPEND "Z:")
set(HEADWRIGHT_WINEPATH "${headwright_windows_dll_dirs}" CACHE INTERNAL "Qt's and MinGW-w64's DLL folders, as Wine names them")

# Copies the runtime beside TARGET after each build and installs it beside
# the program.
function(headwright_deploy_qt_runtime target)
  set(plugins
    platforms Qt6::QWindowsIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin)
  set(commands)
  while(plugins)
    list(POP_FRONT plugins folder plugin)
    list(APPEND commands
      COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/${folder}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}> $<TARGET_FILE_DIR:${target}>/${folder}/)
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder})
  endwhile()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_RUNTIME_DLLS:${target}> ${headwright_mingw_runtime_dlls}
            $<TARGET_FILE_DIR:${target}>
    ${commands}
    COMMAND_EXPAND_LISTS VERBATIM)
  install(FILES $<TARGET_RUNTIME_DLLS:${target}> ${headwright_mingw_runtime_dlls} DESTINATION .)
endfunction()
