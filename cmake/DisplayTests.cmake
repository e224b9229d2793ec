# Tests that may render: run under xvfb-run where there is one, and alone.
# xvfb-run -a finds a free display by a race with other runs, and on a busy
# machine the virtual X server drops connections, on which VTK aborts.
find_program(KOVAN_XVFB_RUN xvfb-run)

# kovan_add_display_test(NAME name COMMAND command... ENVIRONMENT "A=1;B=2")
function(kovan_add_display_test)
  cmake_parse_arguments(PARSE_ARGV 0 test "" "NAME;ENVIRONMENT" "COMMAND")
  set(command ${test_COMMAND})
  if(KOVAN_XVFB_RUN)
    set(command ${KOVAN_XVFB_RUN} -a ${command})
  endif()
  add_test(NAME ${test_NAME} COMMAND ${command})
  set_tests_properties(${test_NAME} PROPERTIES RUN_SERIAL ON ENVIRONMENT "${test_ENVIRONMENT}")
endfunction()

# The pytest suite of a folder, under Debian's python3.
function(kovan_add_pytest name folder environment)
  kovan_add_display_test(NAME ${name}
    COMMAND ${KOVAN_SYSTEM_PYTHON} -m pytest -q -p no:cacheprovider ${folder}
    ENVIRONMENT "${environment};PYTHONDONTWRITEBYTECODE=1")
endfunction()
