# companion_smoke(NAME DLL_TARGET DLL_FILE SOURCE TIMEOUT [LIBRARY...]): a smoke
# test under Wine of a companion DLL. The program NAME (from SOURCE) loads the
# DLL by name from its own folder, as the launcher does; a copy of the DLL
# follows every rebuild of it, not only of the program. smoke.sh beside this
# file runs the program.
function(companion_smoke name dll_target dll_file source timeout)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/smoke)
  add_executable(${name} ${source})
  if(ARGN)
    target_link_libraries(${name} PRIVATE ${ARGN})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  add_custom_command(OUTPUT ${dir}/${dll_file}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${dll_target}> ${dir}/
    DEPENDS ${dll_target} VERBATIM)
  add_custom_target(${name}_dll ALL DEPENDS ${dir}/${dll_file})
  add_dependencies(${name} ${name}_dll)
  string(REPLACE "_smoke" ".smoke" test ${name})  # bregexp_smoke: bregexp.smoke
  add_test(NAME ${test}
           COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/smoke.sh
                   ${CMAKE_SOURCE_DIR}/tests/e2e/wine-env.sh $<TARGET_FILE:${name}>)
  set_tests_properties(${test} PROPERTIES TIMEOUT ${timeout} LABELS e2e)
endfunction()
