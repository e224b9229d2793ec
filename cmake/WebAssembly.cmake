# The WebAssembly module: the library's objects linked into kovan_wasm.mjs,
# an ES module whose default export instantiates the module. It exports the
# functions the header declares and the heap's malloc and free, through which
# a caller hands bytes in, and addFunction, through which a caller's reading
# functions become a kovan_source. 64-bit arguments are BigInts; memory
# grows to 4 GB.
include(cmake/DeclaredExports.cmake)
kovan_declared_exports("${CMAKE_CURRENT_SOURCE_DIR}/include/kovan.h" kovan_exports)
list(TRANSFORM kovan_exports PREPEND "_")
list(APPEND kovan_exports _malloc _free)
list(JOIN kovan_exports "," kovan_export_list)

add_executable(kovan_wasm ${KOVAN_OBJECTS})
set_target_properties(kovan_wasm PROPERTIES SUFFIX ".mjs")
target_link_options(kovan_wasm PRIVATE
  -fexceptions
  -sMODULARIZE=1
  -sEXPORT_ES6=1
  -sEXPORT_NAME=createKovanModule
  "-sEXPORTED_FUNCTIONS=[${kovan_export_list}]"
  "-sEXPORTED_RUNTIME_METHODS=[UTF8ToString,addFunction,removeFunction]"
  -sALLOW_TABLE_GROWTH=1
  -sWASM_BIGINT=1
  -sALLOW_MEMORY_GROWTH=1
  -sMAXIMUM_MEMORY=4GB
  -sFILESYSTEM=0
  -sSINGLE_FILE=1
  -sENVIRONMENT=web,worker)
set_property(TARGET kovan_wasm APPEND PROPERTY LINK_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/include/kovan.h")
