# Writes a C++ source that holds the preview's page template, style and script as strings, so
# that they stay plain files of the repository and the command needs nothing at run time.
# Run with -DOUTPUT=file.cpp -DHTML=... -DCSS=... -DJS=...
set(delimiter "mk_asset")  # at most 16 characters
set(text "// Made by cli/preview/EmbedAssets.cmake from the files beside it; do not edit.\n")
string(APPEND text "#include \"cli/preview/PreviewAssets.h\"\n\nnamespace merrowcli::preview {\n\n")
foreach(pair "kPageTemplate;${HTML}" "kStyle;${CSS}" "kScript;${JS}")
    list(GET pair 0 name)
    list(GET pair 1 file)
    file(READ "${file}" content)
    string(FIND "${content}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${file} holds the raw string delimiter")
    endif()
    string(APPEND text "const char* const ${name} = R\"${delimiter}(${content})${delimiter}\";\n\n")
endforeach()
string(APPEND text "}  // namespace merrowcli::preview\n")
# Rewrite only a changed file, so that an unchanged asset does not rebuild the library.
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" previous)
    if(previous STREQUAL text)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${text}")
