# The release: a ZIP with one portable folder per edition, each holding the
# executable, the companions that edition loads or starts, its example
# configuration (as zolto5_c.ini / zolto5.ini, which the program reads) and
# its help text, all beside each other as the program expects, and the
# configuration checker.
#   cmake --build --preset windows --target package
# writes build/windows/zolto5-<version>-win64.zip.

# The example configurations, in code page 932 with CRLF line ends.
foreach(name zolto5_c zolto5)
  set(example ${CMAKE_BINARY_DIR}/examples/${name}.ini)
  add_custom_command(OUTPUT ${example}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}/examples/${name}.ini
            -DOUTPUT=${example} -P ${CMAKE_SOURCE_DIR}/cmake/to-cp932.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/examples/${name}.ini ${CMAKE_SOURCE_DIR}/cmake/to-cp932.cmake
    COMMENT "Example configuration ${name}.ini in code page 932" VERBATIM)
  list(APPEND release_examples ${example})
endforeach()
add_custom_target(release_examples ALL DEPENDS ${release_examples})

# The full edition: regular expressions, pictures, and the page-capture
# program that the example's "@browse=" names.
install(PROGRAMS $<TARGET_FILE:zolto5_c> $<TARGET_FILE:bregexp_dll> $<TARGET_FILE:imgctl_dll>
                 $<TARGET_FILE:zolto_capture> $<TARGET_FILE:zolto5_check>
        DESTINATION zolto5_c)
install(FILES ${CMAKE_BINARY_DIR}/examples/zolto5_c.ini ${CMAKE_BINARY_DIR}/bin/zolto5_c.txt
        DESTINATION zolto5_c)
# The basic edition loads only the image library.
install(PROGRAMS $<TARGET_FILE:zolto5> $<TARGET_FILE:imgctl_dll> $<TARGET_FILE:zolto5_check>
        DESTINATION zolto5)
install(FILES ${CMAKE_BINARY_DIR}/examples/zolto5.ini ${CMAKE_BINARY_DIR}/bin/zolto5.txt
        DESTINATION zolto5)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zolto5)
set(CPACK_PACKAGE_VENDOR zolto5)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(ZOLTO_RELEASE_NAME zolto5-${PROJECT_VERSION}-win64)  # the ZIP and its folder
set(CPACK_PACKAGE_FILE_NAME ${ZOLTO_RELEASE_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
