# A native module as a product for Linux hosts: exports only what its
# version script names, carries its own C++ runtime, and needs only libraries
# every Linux desktop has. The VST 2.4 module also exports its entry point as
# "main", the name older Linux hosts look for, at the same address.
#   tk42_linux_module(target [MAP file] [MAIN_ALIAS])
function(tk42_linux_module target)
  cmake_parse_arguments(ARG "MAIN_ALIAS" "MAP" "" ${ARGN})
  set(map ${CMAKE_SOURCE_DIR}/resources/TK42R.map)
  if(ARG_MAP)
    set(map ${ARG_MAP})
  endif()
  target_link_options(${target} PRIVATE -Wl,--version-script=${map})
  if(ARG_MAIN_ALIAS)
    target_link_options(${target} PRIVATE -Wl,--defsym=main=VSTPluginMain)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  # Sanitizer builds keep the shared runtime: the sanitizers bring their own
  # and resolve the module's undefined symbols from the test program.
  if(NOT TK42_SANITIZE)
    target_link_options(${target} PRIVATE
      -static-libstdc++ -static-libgcc
      -Wl,--exclude-libs,ALL
      -Wl,--no-undefined
      -Wl,--as-needed
      -s)
  endif()
endfunction()
