# Writes the bytes of INPUT as a C++ source that defines `const unsigned char NAME[]` and
# `const std::size_t NAME_size`: a file built into the program.
# Usage: cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=identifier -P embed_file.cmake
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT} "// Made from ${INPUT} by embed_file.cmake.\n#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {${bytes}};\n"
  "extern const std::size_t ${NAME}_size = sizeof(${NAME});\n")
