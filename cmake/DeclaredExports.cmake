# The functions that include/kovan.h declares with KOVAN_API, sorted: the
# export list of the library, stated by the header alone.
function(kovan_declared_exports header out)
  file(READ "${header}" text)
  string(REGEX MATCHALL "KOVAN_API[^;(]*[ *](kovan_[a-z0-9_]+)\\(" declarations "${text}")
  set(names "")
  foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE ".*[ *](kovan_[a-z0-9_]+)\\($" "\\1" name "${declaration}")
    list(APPEND names "${name}")
  endforeach()
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()
