# Brings a substitute Boost tree up to date when it is stale, and fails the
# build when Skeld cannot tell or cannot make it:
#   cmake -DSKELD=... -DPERSONALITY=... -DBOOST=... -DOUTPUT=... -P refresh_boost_tree.cmake
# `Skeld --check` answers 0 (current), 1 (a run would change something) or
# 2 (a run would refuse, or the check itself failed), and ends with one line,
# "Check: status=S write=W remove=R add=A record=C refuse=WHY".
foreach(name SKELD PERSONALITY BOOST OUTPUT)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "refresh_boost_tree.cmake: -D${name}=... is missing")
  endif()
endforeach()

execute_process(COMMAND ${SKELD} --check ${PERSONALITY} ${BOOST} ${OUTPUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
string(REGEX MATCH "Check: [^\r\n]*" summary "${report}")

if(status STREQUAL "0")
  message(STATUS "Boost tree ${OUTPUT} is current (${summary})")
elseif(status STREQUAL "1")
  message(STATUS "Boost tree ${OUTPUT} is stale (${summary}): running Skeld")
  execute_process(COMMAND ${SKELD} ${PERSONALITY} ${BOOST} ${OUTPUT}
                  RESULT_VARIABLE run OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT run STREQUAL "0")
    message(FATAL_ERROR "Skeld failed with status ${run}:\n${log}")
  endif()
  message(STATUS "Boost tree ${OUTPUT} made current")
else()
  # 2, or no status at all when Skeld could not be started.
  message(FATAL_ERROR "Skeld --check cannot bring ${OUTPUT} up to date (status ${status}):\n${report}")
endif()
