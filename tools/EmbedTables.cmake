# Turns the USDA reference tables into a C++ source file, so the converter carries the facts it
# relies on and needs no data folder at run time.
#   cmake -DDIR=<folder of the .tsv files> -DOUT=<.cpp to write> -P EmbedTables.cmake
set(tables
  "kFoodGroupsTsv=usda-sr-food-groups.tsv"
  "kFoodGroupByNdbTsv=usda-sr24-food-group-by-ndb.tsv"
  "kNutrientsTsv=usda-sr24-nutrients.tsv")
set(text "// Generated from tools/usda/*.tsv by EmbedTables.cmake.\n#include \"UsdaTables.h\"\n\nnamespace Usda::detail {\n")
foreach(entry IN LISTS tables)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 symbol)
  list(GET parts 1 file)
  file(READ "${DIR}/${file}" content)
  string(FIND "${content}" ")usda\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds the raw string delimiter )usda\"")
  endif()
  string(APPEND text "extern const char ${symbol}[] = R\"usda(${content})usda\";\n")
endforeach()
string(APPEND text "}  // namespace Usda::detail\n")
file(WRITE "${OUT}.tmp" "${text}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
