# The browser build, configured by emcmake (scripts/build-web.sh): quorvel.js
# and quorvel.wasm, the engine that web/quorvel-worker.js runs, and the bench
# tool as wasm built alike, for the speed and the signature.
#
# The engine yields to the event loop from its poll through Asyncify, which
# instruments the functions that can be on the stack when it yields.
# QUORVEL_WEB_YIELD=all lets Asyncify find them itself (every function that
# may reach an import that yields or an indirect call); "listed" names them
# (the way from main through the search to the poll and the idle wait);
# "none" builds no yielding at all (the bench only: the ceiling to measure
# against). In Chromium, all and listed search alike, about 5% slower than
# none: alphaBeta is instrumented either way, for its call of the poll. All
# is the default, since it needs no list kept in step with the code.
set(QUORVEL_WEB_YIELD all CACHE STRING "Asyncify instrumentation: all, listed or none")

set(web_yield_listed
    main uciMain* *runCommand* "*::go(Words.const#)" runGo* *GoReporter::hold*
    runSearch* *deepen* *searchRoot* *searchRootLines* alphaBeta* *tryNullMove*
    *pollSearch* *GoReporter::poll* readLine* inputReady* platformPeekInput*
    waitForLine* platformWaitForInput*)
list(JOIN web_yield_listed "," web_yield_listed)
if(QUORVEL_WEB_YIELD STREQUAL "listed")
  set(web_yield_options -sASYNCIFY=1 "-sASYNCIFY_ONLY=[${web_yield_listed}]")
elseif(QUORVEL_WEB_YIELD STREQUAL "all")
  set(web_yield_options -sASYNCIFY=1)
elseif(QUORVEL_WEB_YIELD STREQUAL "none")
  set(web_yield_options)
else()
  message(FATAL_ERROR "QUORVEL_WEB_YIELD is listed, all or none")
endif()

# Room for a 1 GB table; deep searches unwind a few hundred bytes a ply.
set(web_common_options -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=2GB -sINITIAL_MEMORY=32MB
    -sENVIRONMENT=web,worker,node ${web_yield_options} -sASYNCIFY_STACK_SIZE=262144)

file(GLOB web_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/web/*.cpp)
add_executable(quorvel-web ${web_sources})
target_link_libraries(quorvel-web PRIVATE quorvel_uci quorvel_game)
set_target_properties(quorvel-web PROPERTIES OUTPUT_NAME quorvel)
# The functions of src/web/game_exports.cpp, for the Game of web/quorvel-game.mjs.
set(web_game_functions
    quorvel_out quorvel_out_length quorvel_notation quorvel_game_new quorvel_game_delete
    quorvel_game_move quorvel_game_undo quorvel_game_moves quorvel_game_history quorvel_game_fen
    quorvel_game_turn quorvel_game_outcome quorvel_game_pgn quorvel_game_load quorvel_game_comments
    quorvel_game_set_comment quorvel_game_tags quorvel_game_set_tag quorvel_skill_elo)
list(TRANSFORM web_game_functions PREPEND _)
list(JOIN web_game_functions "," web_game_functions)
# The glue installs no process-wide handlers in Node: Game runs inside other programs.
target_link_options(quorvel-web PRIVATE ${web_common_options}
    -sMODULARIZE=1 -sEXPORT_NAME=QuorvelModule -sINVOKE_RUN=0
    -sNODEJS_CATCH_EXIT=0 -sNODEJS_CATCH_REJECTION=0
    "-sEXPORTED_RUNTIME_METHODS=[callMain,FS]"
    "-sEXPORTED_FUNCTIONS=[_main,_malloc,_free,${web_game_functions}]")

target_link_options(quorvel-bench PRIVATE ${web_common_options})
