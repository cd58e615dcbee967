# For the fuzz build: the expression library compiled from its Debian source with the same coverage
# instrumentation and sanitizers as our own code, so the fuzzer sees inside the parser. The source is
# fetched once per build folder, at the version of the installed libmuparser-dev. Without it (no
# network, no mirror with sources) the build goes on with the system's uninstrumented library.
# Sets BRISVANE_MUPARSER to the instrumented target when it can be built, and leaves it as it is if not.

set(muparser_source ${CMAKE_BINARY_DIR}/_deps/muparser-src)

if(NOT EXISTS ${muparser_source}/src/muParser.cpp)
  execute_process(
    COMMAND dpkg-query -W -f=\${source:Version} libmuparser-dev
    OUTPUT_VARIABLE muparser_version ERROR_QUIET)
  message(STATUS "Fetching the expression library's source (muparser ${muparser_version}) for the fuzz build")
  execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-source-package muparser "${muparser_version}" ${muparser_source}
    RESULT_VARIABLE fetch_result
    ERROR_VARIABLE fetch_error)
  if(NOT fetch_result EQUAL 0)
    message(WARNING "The expression library's source could not be fetched, so the fuzz targets use the "
      "system's uninstrumented libmuparser and cannot see inside it.\n${fetch_error}")
    return()
  endif()
endif()

file(READ ${muparser_source}/.fetched-from muparser_fetched_from)
string(STRIP "${muparser_fetched_from}" muparser_fetched_from)
message(STATUS "Fuzz build: expression library instrumented, from ${muparser_fetched_from}")

# The library's own sources, without its C interface and self-test, which we do not call.
add_library(muparser_instrumented STATIC
  ${muparser_source}/src/muParser.cpp
  ${muparser_source}/src/muParserBase.cpp
  ${muparser_source}/src/muParserBytecode.cpp
  ${muparser_source}/src/muParserCallback.cpp
  ${muparser_source}/src/muParserError.cpp
  ${muparser_source}/src/muParserTokenReader.cpp)
target_include_directories(muparser_instrumented SYSTEM PUBLIC ${muparser_source}/include)
target_compile_definitions(muparser_instrumented PUBLIC MUPARSER_STATIC)
# Its constant folding casts any double to int for "&&" and "||" ("1e14 && 1"): undefined, though
# x86-64 gives INT_MIN, which is as true as the number. That report would drown all others.
target_compile_options(muparser_instrumented PRIVATE -w -fno-sanitize=float-cast-overflow)
set(BRISVANE_MUPARSER muparser_instrumented)
