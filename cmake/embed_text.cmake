# Turns a text file into a C++ source that defines it as two constants, so a program
# carries it with no file to find at run time:
#   cmake -D INPUT=page.html -D OUTPUT=page_html.cpp -D NAME=kPageHtml -P embed_text.cmake
# defines `const char* const NAME` (the bytes, with a NUL after them) and
# `const std::size_t NAMESize`.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," array "${bytes}")
string(REGEX REPLACE "(([^,]*,){16})" "\\1\n  " array "${array}")
file(WRITE "${OUTPUT}.new"
  "// Made at build time from ${INPUT} by cmake/embed_text.cmake.\n"
  "#include <cstddef>\n\n"
  "namespace {\nconst char kBytes[] = {\n  ${array}'\\0'};\n}  // namespace\n\n"
  "extern const char* const ${NAME};\nextern const std::size_t ${NAME}Size;\n"
  "const char* const ${NAME} = kBytes;\nconst std::size_t ${NAME}Size = ${size};\n")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
