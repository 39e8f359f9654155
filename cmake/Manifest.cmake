# tunewright_embed_manifest(TARGET [TEMPLATE file]): gives an executable its application manifest (RT_MANIFEST,
# resource 1): common controls 6.0 and the registration-free COM classes of TwDirectMusic.dll, so that
# CoCreateInstance of DirectMusic's classes loads the SoundFont stand-in from the program folder. A template may
# place @TUNEWRIGHT_MANIFEST_ARCH@ (x86 or amd64) and @TUNEWRIGHT_DMUSIC_CLASSES@ (the <file> element) itself.
if(NOT WIN32)
  return()
endif()
enable_language(RC)

set(TUNEWRIGHT_MANIFEST_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/manifest.xml.in)
# DirectMusic, DirectMusicPerformance and DirectMusicLoader; segments come from the loader only.
set(TUNEWRIGHT_DMUSIC_CLSIDS
  "{636B9F10-0C7D-11D1-95B2-0020AFDC7421}"
  "{D2AC2881-B39B-11D1-8704-00600893B1BD}"
  "{D2AC2892-B39B-11D1-8704-00600893B1BD}")

function(tunewright_embed_manifest target)
  cmake_parse_arguments(M "" "TEMPLATE" "" ${ARGN})
  if(NOT M_TEMPLATE)
    set(M_TEMPLATE ${TUNEWRIGHT_MANIFEST_TEMPLATE})
  endif()
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(TUNEWRIGHT_MANIFEST_ARCH amd64)
  else()
    set(TUNEWRIGHT_MANIFEST_ARCH x86)
  endif()
  set(classes "<file name=\"TwDirectMusic.dll\">")
  foreach(clsid ${TUNEWRIGHT_DMUSIC_CLSIDS})
    string(APPEND classes "\n    <comClass clsid=\"${clsid}\" threadingModel=\"Both\"/>")
  endforeach()
  string(APPEND classes "\n  </file>")
  set(TUNEWRIGHT_DMUSIC_CLASSES "${classes}")

  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  configure_file(${M_TEMPLATE} ${manifest} @ONLY)
  file(WRITE ${rc}.tmp "1 24 \"${manifest}\"\n")
  configure_file(${rc}.tmp ${rc} COPYONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
  if(TARGET TwDirectMusic)
    add_dependencies(${target} TwDirectMusic)
  endif()
endfunction()
