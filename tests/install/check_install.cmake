# Installs the built library into a scratch prefix, then builds and runs an outside project
# against it twice: through find_package(nux) and through pkg-config.
set(prefix ${NUX_BINARY_DIR}/install-check/prefix)
set(work ${NUX_BINARY_DIR}/install-check)
file(REMOVE_RECURSE ${work})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${NUX_BINARY_DIR} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${NUX_SOURCE_DIR}/tests/install/consumer -B ${work}/cmake-build
    -G ${CMAKE_GENERATOR} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_SKIP_BUILD_RPATH=ON)  # so that the program runs only through the package's rpath
run(${CMAKE_COMMAND} --build ${work}/cmake-build)
run(${work}/cmake-build/consumer)
if(NOT run_output MATCHES "nux consumer ok")
  message(FATAL_ERROR "unexpected output of the CMake consumer: ${run_output}")
endif()

# pkg-config: compile the same source by hand with the flags the .pc file gives.
find_program(PKG_CONFIG pkg-config REQUIRED)
find_program(CXX NAMES c++ g++ REQUIRED)
file(GLOB_RECURSE pcdir LIST_DIRECTORIES true ${prefix}/*/pkgconfig)
list(FILTER pcdir INCLUDE REGEX "pkgconfig$")
set(ENV{PKG_CONFIG_PATH} "${pcdir}")
run(${PKG_CONFIG} --cflags --libs nux)
string(STRIP "${run_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${PKG_CONFIG} --variable=libdir nux)  # the rpath as the README gives it
string(STRIP "${run_output}" libdir)
list(APPEND flags "-Wl,-rpath,${libdir}")
run(${CXX} ${NUX_SOURCE_DIR}/tests/install/consumer/main.cpp -o ${work}/pc-consumer ${flags})
run(${work}/pc-consumer)
if(NOT run_output MATCHES "nux consumer ok")
  message(FATAL_ERROR "unexpected output of the pkg-config consumer: ${run_output}")
endif()
# Private headers stay in the source tree; docs and examples come along.
file(GLOB_RECURSE installed_private ${prefix}/include/*_impl.h ${prefix}/include/nux/frame/moments.h)
if(installed_private)
  message(FATAL_ERROR "private headers installed: ${installed_private}")
endif()
file(GLOB_RECURSE guide ${prefix}/share/doc/nux/guide.md)
file(GLOB_RECURSE example_sources ${prefix}/share/doc/nux/examples/*.cpp)
if(NOT guide OR NOT example_sources)
  message(FATAL_ERROR "docs or examples not installed under share/doc/nux")
endif()
# The installed examples build on their own against the installed package and run.
run(${CMAKE_COMMAND} -S ${prefix}/share/doc/nux/examples -B ${work}/examples-build
    -G ${CMAKE_GENERATOR} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_SKIP_BUILD_RPATH=ON)
run(${CMAKE_COMMAND} --build ${work}/examples-build)
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --output-on-failure
                WORKING_DIRECTORY ${work}/examples-build RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "installed examples failed:\n${out}")
endif()
# The command-line program (built with the examples) runs from the prefix through its run path.
if(EXISTS ${prefix}/bin/nux)
  run(${prefix}/bin/nux describe ${NUX_SOURCE_DIR}/tests/data/cli/weather.csv --json)
  if(NOT run_output MATCHES "\"temperature\"")
    message(FATAL_ERROR "unexpected output of the installed nux program: ${run_output}")
  endif()
endif()
# The Python module imports from the prefix's package directory and finds the library through
# its run path.
if(NUX_PYTHON)
  set(ENV{PYTHONPATH} "${prefix}/lib/python3/dist-packages")
  run(${NUX_PYTHON} -c "import nux\nprint(nux.stats.t.cdf(0.0, 3), nux.__file__)")
  if(NOT run_output MATCHES "^0.5 ${prefix}/")
    message(FATAL_ERROR "unexpected output of the installed Python module: ${run_output}")
  endif()
endif()
message(STATUS "installed package works through find_package and pkg-config")
