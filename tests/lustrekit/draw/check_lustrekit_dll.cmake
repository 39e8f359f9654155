# Checks Lustrekit.dll's tables with objdump: every export undecorated, imports only from system DLLs.
# Usage: cmake -DDLL=<path> -DOBJDUMP=<objdump> -P check_lustrekit_dll.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

# System DLLs Lustrekit may use (the skinned windows add sound and common controls).
set(allowed KERNEL32.DLL USER32.DLL GDI32.DLL MSIMG32.DLL MSVCRT.DLL WINMM.DLL COMCTL32.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(line ${imports})
  string(REPLACE "DLL Name: " "" name "${line}")
  string(STRIP "${name}" name)
  string(TOUPPER "${name}" upper)
  list(FIND allowed "${upper}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "Lustrekit.dll imports ${name}, which is not a system library")
  endif()
endforeach()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" table "${dump}")
foreach(name LightenColor DarkenColor MixedColor MidColor GetXpHighlightColor GrayColor NumColorBits
             Gradient_Fill DrawGradient CreateFillBmp DrawIcnRect Icon_CopyAsBlend DrawDDB RedrawButton
             IsShellType SetWindowTransparent SetTransparentMenu SetStyleMenu GetStyleMenu SetDisableSelect
             RedrawWindowMenu SetMenuItemIcon SetMenuIcon AddLeftBorder RemoveLeftBorder)
  if(NOT table MATCHES "\\] ${name}\n")
    message(FATAL_ERROR "Lustrekit.dll does not export ${name} undecorated")
  endif()
endforeach()
if(table MATCHES "@")
  message(FATAL_ERROR "Lustrekit.dll exports a decorated name:\n${table}")
endif()
message(STATUS "Lustrekit.dll: exports undecorated, imports: ${imports}")
