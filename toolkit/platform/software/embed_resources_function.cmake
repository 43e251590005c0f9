# tk42_embed_resources(target id type path [id type path ...]): compiles the
# files into target as the software platform's resource table.
set(TK42_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_resources.cmake)

function(tk42_embed_resources target)
  set(resources "")
  set(files "")
  set(args ${ARGN})
  while(args)
    list(POP_FRONT args id type path)
    list(APPEND resources "${id}|${type}|${path}")
    list(APPEND files ${path})
  endwhile()
  # Entries are joined with commas: a semicolon would split the argument.
  string(REPLACE ";" "," resources "${resources}")
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DRESOURCES=${resources}" -P ${TK42_EMBED_SCRIPT}
    DEPENDS ${files} ${TK42_EMBED_SCRIPT}
    COMMENT "Embedding resources into ${target}" VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
