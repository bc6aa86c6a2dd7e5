# Installs the build as a packager does (a prefix chosen at install time,
# staged under DESTDIR), then builds and runs clients that know nothing but
# the installed files: examples/hello.c and a C++ client through pkg-config,
# the same C++ client through the CMake package.
# In: BINARY_DIR, SOURCE_DIR, WORK_DIR, BUILD_TYPE, GENERATOR, OBJDUMP, C and C++ compilers.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
                  WORKING_DIRECTORY ${WORK_DIR})
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed: ${command}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix /opt/vudadive2r-install-check)
set(ENV{DESTDIR} ${WORK_DIR}/stage)
run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
unset(ENV{DESTDIR})
set(staged ${WORK_DIR}/stage${prefix})
file(GLOB_RECURSE pc_file ${WORK_DIR}/stage/*/vudadive2r.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)

# pkg-config: only the installed files, no --define-variable.
set(ENV{PKG_CONFIG_LIBDIR} ${pc_dir})
set(ENV{PKG_CONFIG_PATH} "")
run(pkg-config --cflags --libs vudadive2r)
string(STRIP "${output}" flags)
if(NOT flags MATCHES "-lzadozi")
  message(FATAL_ERROR "pkg-config flags do not pull in zadozi: ${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(pkg-config --variable=libdir vudadive2r)
string(STRIP "${output}" libdir)
run(pkg-config --modversion vudadive2r)
string(STRIP "${output}" version)
set(rpath -Wl,-rpath,${libdir})  # no LD_LIBRARY_PATH: the paths must be right
run(${C_COMPILER} -std=c99 -Wall -Wextra -pedantic -Werror ${SOURCE_DIR}/examples/hello.c ${flags} ${rpath}
    -o ${WORK_DIR}/hello-c)
run(${WORK_DIR}/hello-c)
run(${CXX_COMPILER} -std=c++17 -Wall -Wextra -Werror "-DPACKAGE_VERSION=\"${version}\""
    ${SOURCE_DIR}/tests/install/client.cpp ${flags} ${rpath} -o ${WORK_DIR}/client-pkg-config)
run(${WORK_DIR}/client-pkg-config)

# The CMake package.
unset(ENV{PKG_CONFIG_LIBDIR})
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/client -B ${WORK_DIR}/cmake-client -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${staged} -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DWANTED_VERSION=${version})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-client)
run(${WORK_DIR}/cmake-client/client)

# Which requested versions the package accepts: before 1.0 only its own minor
# version, since a minor release may break the ABI.
file(GLOB_RECURSE version_file ${staged}/*/Vudadive2RConfigVersion.cmake)
string(REPLACE "." ";" parts "${version}")
list(GET parts 0 major)
list(GET parts 1 minor)
math(EXPR next_minor "${minor} + 1")
math(EXPR next_major "${major} + 1")
set(requests "${major}.${minor}:TRUE" "${major}.${next_minor}:FALSE" "${next_major}.0:FALSE")
if(major EQUAL 0 AND minor GREATER 0)
  math(EXPR previous_minor "${minor} - 1")
  list(APPEND requests "0.${previous_minor}:FALSE")
endif()
foreach(request IN LISTS requests)
  string(REPLACE ":" ";" request "${request}")
  list(GET request 0 PACKAGE_FIND_VERSION)
  list(GET request 1 expected)
  string(REPLACE "." ";" find_parts "${PACKAGE_FIND_VERSION}")
  list(GET find_parts 0 PACKAGE_FIND_VERSION_MAJOR)
  list(GET find_parts 1 PACKAGE_FIND_VERSION_MINOR)
  set(PACKAGE_FIND_VERSION_PATCH 0)
  set(PACKAGE_VERSION_COMPATIBLE)
  include(${version_file})
  if(NOT PACKAGE_VERSION_COMPATIBLE STREQUAL expected)
    message(FATAL_ERROR "version ${version} answers ${PACKAGE_VERSION_COMPATIBLE} to a request for ${PACKAGE_FIND_VERSION}")
  endif()
endforeach()

# Installed libraries: SONAME and file name agree; stripped unless a debug build.
foreach(library vudadive2r zadozi)
  file(GLOB installed ${libdir}/lib${library}.so.*.*)
  run(${OBJDUMP} -p -h ${installed})
  if(NOT output MATCHES "SONAME +(lib${library}\\.so\\.[0-9]+)")
    message(FATAL_ERROR "${installed} has no SONAME")
  endif()
  get_filename_component(file_name "${installed}" NAME)
  string(FIND "${file_name}" "${CMAKE_MATCH_1}." at)
  if(NOT at EQUAL 0)
    message(FATAL_ERROR "${file_name} does not carry its SONAME ${CMAKE_MATCH_1}")
  endif()
  if(NOT BUILD_TYPE STREQUAL "Debug" AND output MATCHES "\\.debug_info")
    message(FATAL_ERROR "${file_name} is installed with its debug information")
  endif()
endforeach()

file(GLOB licence ${staged}/share/doc/vudadive2r/LICENSE)
if(NOT licence)
  message(FATAL_ERROR "the licence is not installed")
endif()
