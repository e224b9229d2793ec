# Writes DEF, the module-definition file of kovan.dll, from the functions
# HEADER declares: what MinGW's dlltool makes MSVC's import library from.
# cmake -DHEADER=include/kovan.h -DDEF=kovan.def -P cmake/write_def.cmake
include("${CMAKE_CURRENT_LIST_DIR}/DeclaredExports.cmake")
kovan_declared_exports("${HEADER}" names)
set(text "LIBRARY kovan.dll\nEXPORTS\n")
foreach(name IN LISTS names)
  string(APPEND text "    ${name}\n")
endforeach()
file(WRITE "${DEF}" "${text}")
