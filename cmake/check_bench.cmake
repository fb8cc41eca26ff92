# Runs quorvel-bench at DEPTH and compares its node total with the signature
# file: cmake -DBENCH=... -DDEPTH=... -DSIGNATURE=... -P check_bench.cmake
execute_process(COMMAND ${BENCH} ${DEPTH} OUTPUT_VARIABLE output RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quorvel-bench ${DEPTH} failed: ${status}")
endif()
string(REGEX MATCH "bench nodes ([0-9]+)" found "${output}")
set(nodes ${CMAKE_MATCH_1})
file(STRINGS ${SIGNATURE} expected REGEX "^${DEPTH} ")
string(REGEX REPLACE "^${DEPTH} " "" expected "${expected}")
if(NOT nodes STREQUAL expected)
  message(FATAL_ERROR "bench signature at depth ${DEPTH}: ${nodes} nodes, expected ${expected}")
endif()
message(STATUS "bench signature at depth ${DEPTH}: ${nodes}")
