# Turns every ```cpp block of the guide into a GoogleTest case, so that the guide's code is
# compiled and run with the suite. A block followed by an ```output block must print exactly
# that text on std::cout. #line directives make the compiler name the guide's lines.
#
#   cmake -DGUIDE=docs/guide.md -DOUT=guide_snippets.cpp -P extract_snippets.cmake
#
# The text is cut with FIND and SUBSTRING only, never turned into a CMake list: list splitting
# would break code at every ';' and merge lines around unbalanced '[' or a trailing '\'.
cmake_minimum_required(VERSION 3.25)

file(READ "${GUIDE}" text)

set(out "// Generated from ${GUIDE} by extract_snippets.cmake; do not edit.\n")
# What the guide tells its readers the blocks assume, plus the test's own headers.
string(APPEND out "#include <algorithm>\n#include <cmath>\n#include <fstream>\n"
                  "#include <iostream>\n#include <string>\n#include <vector>\n\n"
                  "#include <gtest/gtest.h>\n\n#include \"guide/snippet_support.h\"\n"
                  "#include \"nux/nux.h\"\n\nusing namespace nux;\n\n")

# Line number (1-based) of offset in the variable named by var.
function(line_of var offset result)
  string(SUBSTRING "${${var}}" 0 ${offset} head)
  string(LENGTH "${head}" with)
  string(REPLACE "\n" "" head "${head}")
  string(LENGTH "${head}" without)
  math(EXPR n "${with} - ${without} + 1")
  set(${result} ${n} PARENT_SCOPE)
endfunction()

# Appends a #line directive that returns the line numbering to the generated file.
macro(back_to_out)
  string(LENGTH "${out}" out_len)
  line_of(out ${out_len} back)
  math(EXPR back "${back} + 1")
  string(APPEND out "#line ${back} \"${OUT}\"\n")
endmacro()

set(pos 0)
set(count 0)
set(section "Guide")
while(TRUE)
  string(SUBSTRING "${text}" ${pos} -1 rest)
  string(FIND "${rest}" "\n```cpp\n" rel)
  if(rel EQUAL -1)
    break()
  endif()
  math(EXPR fence "${pos} + ${rel}")
  math(EXPR body_start "${fence} + 8")

  # The test is named after the last heading before the block (up to a colon) and its line.
  string(SUBSTRING "${text}" 0 ${fence} head)
  string(FIND "${head}" "\n## " h2 REVERSE)
  string(FIND "${head}" "\n### " h3 REVERSE)
  if(h3 GREATER h2)
    math(EXPR h "${h3} + 5")
  else()
    math(EXPR h "${h2} + 4")
  endif()
  if(h GREATER 4)
    string(SUBSTRING "${head}" ${h} -1 heading)
    string(REGEX MATCH "^[^\n:]*" heading "${heading}")
    string(MAKE_C_IDENTIFIER "${heading}" section)
    string(REGEX REPLACE "_+" "_" section "${section}")
    string(REGEX REPLACE "^_|_$" "" section "${section}")
  endif()

  string(SUBSTRING "${text}" ${body_start} -1 rest)
  string(FIND "${rest}" "\n```" body_len)
  if(body_len EQUAL -1)
    message(FATAL_ERROR "${GUIDE}: unterminated ```cpp block")
  endif()
  string(SUBSTRING "${rest}" 0 ${body_len} body)
  math(EXPR pos "${body_start} + ${body_len} + 4")
  line_of(text ${body_start} line)

  # An ```output block right after (blank lines between are allowed) holds the expected text.
  set(expected "")
  set(has_output FALSE)
  string(SUBSTRING "${text}" ${pos} -1 rest)
  if(rest MATCHES "^\n[ \t\n]*```output\n")
    string(FIND "${rest}" "```output\n" o)
    math(EXPR o "${o} + 10")
    string(SUBSTRING "${rest}" ${o} -1 rest)
    string(FIND "${rest}" "```" o_len)
    if(o_len EQUAL -1)
      message(FATAL_ERROR "${GUIDE}: unterminated ```output block")
    endif()
    string(SUBSTRING "${rest}" 0 ${o_len} expected)
    set(has_output TRUE)
    math(EXPR out_fence "${pos} + ${o} - 1")
    line_of(text ${out_fence} out_line)
    math(EXPR pos "${pos} + ${o} + ${o_len} + 3")
  endif()

  math(EXPR count "${count} + 1")
  string(APPEND out "TEST(Guide, ${section}_L${line}) {\n  GuideScratch Scratch;\n")
  if(has_output)
    string(APPEND out "  GuideCapture Capture;\n")
  endif()
  string(APPEND out "  {\n#line ${line} \"${GUIDE}\"\n${body}\n")
  back_to_out()
  string(APPEND out "  }\n")
  if(has_output)
    # A mismatch is reported at the ```output line of the guide.
    string(APPEND out "#line ${out_line} \"${GUIDE}\"\n"
                      "  EXPECT_EQ(Capture.Text(), R\"nuxguide(${expected})nuxguide\");\n")
    back_to_out()
  endif()
  string(APPEND out "}\n\n")
endwhile()

if(count EQUAL 0)
  message(FATAL_ERROR "${GUIDE}: no ```cpp blocks found")
endif()
# Rewrite only when the text differs, so that a touched but unchanged guide compiles nothing.
set(old "")
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
endif()
if(NOT old STREQUAL out)
  file(WRITE "${OUT}" "${out}")
endif()
