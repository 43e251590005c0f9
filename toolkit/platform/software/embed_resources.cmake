# Writes a C++ source that compiles resource files into a binary of the
# native build, as the software platform's resource table:
#   cmake -DOUTPUT=file.cpp "-DRESOURCES=101|PNG|/path/a.png,102|PNG|/path/b.png"
#         -P embed_resources.cmake
# A function tk42_embed_resources(target, id type path ...) for CMake files is
# in embed_resources_function.cmake.
string(REPLACE "," ";" RESOURCES "${RESOURCES}")
set(body "// Generated from the resource files; do not edit.\n")
string(APPEND body "#include \"toolkit/platform/software/software_script.h\"\n\n")
string(APPEND body "namespace {\n")
set(entries "")
set(index 0)
foreach(resource IN LISTS RESOURCES)
  string(REPLACE "|" ";" parts "${resource}")
  list(GET parts 0 id)
  list(GET parts 1 type)
  list(GET parts 2 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
    "\\1\n" bytes "${bytes}")
  if(size EQUAL 0)
    set(bytes "0")
  endif()
  string(APPEND body "const uint8_t resource${index}[] = {\n${bytes}};\n")
  string(APPEND entries "    {${id}, \"${type}\", resource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "const TKGUI::software::EmbeddedResource table[] = {\n${entries}};\n")
string(APPEND body "}  // namespace\n\n")
string(APPEND body "TKGUI::software::EmbeddedResourceTable TKGUI::software::embeddedResources() {\n")
string(APPEND body "    return {table, sizeof(table) / sizeof(table[0])};\n}\n")
file(WRITE "${OUTPUT}.tmp" "${body}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
