# One version number, CMakeLists.txt's, in everything kovan ships: the tool's
# --version, the Python package, the npm package, the .NET assembly and the
# NuGet package. Run with -DVERSION=... -DSOURCE=... [-DTOOL=...] [-DPYTHON=...].
set(found "")
macro(expect what text pattern)
  string(REGEX MATCH "${pattern}" match "${text}")
  if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    string(APPEND found "\n  ${what}: '${CMAKE_MATCH_1}'")
  endif()
endmacro()

file(READ ${SOURCE}/web/package.json npm)
expect("web/package.json" "${npm}" "\"version\": \"([^\"]*)\"")
file(READ ${SOURCE}/bindings/csharp/Kovan.csproj csproj)
expect("bindings/csharp/Kovan.csproj" "${csproj}" "<Version>([^<]*)</Version>")
file(READ ${SOURCE}/bindings/csharp/Kovan.package.xml manifest)
expect("bindings/csharp/Kovan.package.xml (NuGet)" "${manifest}" "<version>([^<]*)</version>")
if(TOOL)
  execute_process(COMMAND ${TOOL} --version OUTPUT_VARIABLE text)
  expect("kovan --version" "${text}" "([0-9]+\\.[0-9]+\\.[0-9]+)")
endif()
if(PYTHON)
  execute_process(COMMAND ${PYTHON} -c
    "import importlib.util as u; s = u.spec_from_file_location('v', '${SOURCE}/python/kovan/_version.py'); m = u.module_from_spec(s); s.loader.exec_module(m); print(m.project_version())"
    OUTPUT_VARIABLE text)
  expect("kovan.__version__" "${text}" "([0-9.]+)")
endif()
if(found)
  message(FATAL_ERROR "versions other than ${VERSION}:${found}")
endif()
