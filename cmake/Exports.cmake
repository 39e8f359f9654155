# tunewright_dll_exports(TARGET DEF): export a DLL's functions undecorated on both Windows architectures.
# The .def lists stdcall names with their i686 decorations (Name@8). On i686 the linker's --kill-at strips
# them from the export table, and dlltool -k rewrites the import library so that callers' decorated
# references (_Name@8) resolve to the plain names. x64 has one calling convention and no decorations, so
# there the .def is used with the suffixes removed and the linker's own import library serves.
# Ordinals (" @100 NONAME") are kept on both: only a suffix glued to a name is a decoration.
function(tunewright_dll_exports target def)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "i686")
    target_sources(${target} PRIVATE ${def})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    get_filename_component(dll_name ${def} NAME_WE)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -D $<TARGET_FILE_NAME:${target}> -l $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  else()
    file(READ ${def} text)
    string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" text "${text}")
    get_filename_component(def_name ${def} NAME)
    set(plain ${CMAKE_CURRENT_BINARY_DIR}/${def_name})
    file(WRITE ${plain}.tmp "${text}")
    configure_file(${plain}.tmp ${plain} COPYONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
    target_sources(${target} PRIVATE ${plain})
  endif()
endfunction()
