# Converts a text written in UTF-8 with LF line ends (a help text, an example
# configuration) into the form the program and its users read: the ANSI code
# page 932 with CRLF line ends, and "@ZOLTO_VERSION@" as VERSION when that is
# given. Fails when a character has no place in that code page.
#   cmake -DSOURCE=in.txt -DOUTPUT=out.txt [-DVERSION=x.y.z] -P to-cp932.cmake
execute_process(COMMAND iconv -f UTF-8 -t CP932 "${SOURCE}"
                OUTPUT_VARIABLE text
                ERROR_VARIABLE problem
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${SOURCE} does not convert to code page 932: ${problem}")
endif()
if(DEFINED VERSION)
  string(REPLACE "@ZOLTO_VERSION@" "${VERSION}" text "${text}")
endif()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
