# Writes a C++ source that holds the browsable HTML listing's script and style sheet as string
# constants: cmake -DSCRIPT=... -DSTYLE=... -DOUTPUT=... -P embed.cmake
file(READ "${SCRIPT}" script_text)
file(READ "${STYLE}" style_text)
set(delimiter "qbrowse")
foreach(text IN ITEMS "${script_text}" "${style_text}")
  string(FIND "${text}" ")${delimiter}\"" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "the browse resources must not hold )${delimiter}\"")
  endif()
endforeach()
file(WRITE "${OUTPUT}.new"
  "// Made from res/browse/ by res/browse/embed.cmake; not to be edited.\n"
  "#include \"writers/browsable_html_writer.h\"\n\n"
  "namespace quillary {\n\n"
  "const char* const kBrowseScript = R\"${delimiter}(${script_text})${delimiter}\";\n\n"
  "const char* const kBrowseStyle = R\"${delimiter}(${style_text})${delimiter}\";\n\n"
  "} // namespace quillary\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
