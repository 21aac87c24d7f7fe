# Converts each language's UTF-8 text file to its Windows code page (with the system's iconv) and
# writes the bytes as C++ arrays, so the program carries the texts exactly as it shows them.
# Called as: cmake -DSOURCE_DIR=... -DOUTPUT=... -P EmbedLanguageTexts.cmake
set(languages
  English 1252 Swedish 1252 BrPort 1252 Afrikaans 1252 German 1252 Spanish 1252 Russian 1251
  Czech 1250 Dutch 1252 Danish 1252 Polish 1250 NorwegianBok 1252 French 1252)
find_program(ICONV iconv REQUIRED)
set(body "// Generated from the language files in data/spelllang; do not edit.\n")
set(table "")
list(LENGTH languages n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET languages ${i} name)
  list(GET languages ${j} codepage)
  set(converted "${OUTPUT}.${name}.tmp")
  execute_process(COMMAND ${ICONV} -f UTF-8 -t CP${codepage} "${SOURCE_DIR}/${name}.txt"
    OUTPUT_FILE "${converted}" RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${name}.txt does not convert to code page ${codepage}: ${err}")
  endif()
  file(READ "${converted}" hex HEX)
  file(REMOVE "${converted}")
  string(REGEX REPLACE "(..)" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "static const char k${name}Texts[] = {${bytes}};\n")
  string(APPEND table "    {k${name}Texts, sizeof(k${name}Texts)},\n")
endforeach()
string(APPEND body "static const TEmbeddedLanguage kEmbeddedLanguages[] = {\n${table}};\n")
file(WRITE "${OUTPUT}.new" "${body}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
