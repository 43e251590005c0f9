# A native module as a product for Linux hosts: exports only its entry
# point, carries its own C++ runtime, and needs only libraries every Linux
# desktop has. The VST 2.4 module (no map given) exports VSTPluginMain, also
# as "main", the name older Linux hosts look for, at the same address;
# another module names the version script of its own exports.
function(tk42_linux_module target)
  if(ARGC GREATER 1)
    set(map ${ARGV1})
  else()
    set(map ${CMAKE_SOURCE_DIR}/resources/TK42R.map)
    target_link_options(${target} PRIVATE -Wl,--defsym=main=VSTPluginMain)
  endif()
  target_link_options(${target} PRIVATE -Wl,--version-script=${map})
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
