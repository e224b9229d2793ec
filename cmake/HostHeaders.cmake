# Cross builds search packages under the target's root only. Header-only
# libraries are Debian's all the same: each is reached through a link in a
# folder of their own, so that the host's other headers stay out.
function(kovan_host_headers target header folder)
  string(MAKE_C_IDENTIFIER "${folder}" id)
  find_path(KOVAN_HOST_${id}_DIR "${header}" PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(headers "${CMAKE_BINARY_DIR}/host-headers")
  file(MAKE_DIRECTORY "${headers}")
  file(CREATE_LINK "${KOVAN_HOST_${id}_DIR}/${folder}" "${headers}/${folder}" SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${headers}")
endfunction()
