# Builds and runs clients that know nothing but the installed files:
# examples/hello.c and a C++ client through pkg-config and through the CMake
# package, for the shared libraries and for the static archives, whichever are
# installed (both, from the Debian packages); then the examples of
# examples/, built through pkg-config as their comments say.
# The tree is either installed here as a packager does (BINARY_DIR: a prefix
# chosen at install time, staged under DESTDIR) or already unpacked (ROOT, with
# everything under ROOT/usr, as from the Debian packages).
# In: BINARY_DIR or ROOT, SOURCE_DIR, WORK_DIR, BUILD_TYPE, GENERATOR, OBJDUMP,
# C and C++ compilers.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Run.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
if(DEFINED ROOT)
  set(staged ${ROOT}/usr)
else()
  set(prefix /opt/vudadive2r-install-check)
  set(ENV{DESTDIR} ${WORK_DIR}/stage)
  run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
  unset(ENV{DESTDIR})
  set(staged ${WORK_DIR}/stage${prefix})
endif()
file(GLOB_RECURSE pc_file ${staged}/*/vudadive2r.pc)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
get_filename_component(libdir "${pc_dir}" DIRECTORY)
set(kinds)
if(EXISTS ${libdir}/libvudadive2r.so)
  list(APPEND kinds shared)
endif()
if(EXISTS ${libdir}/libvudadive2r.a)
  list(APPEND kinds static)
endif()
if(NOT kinds)
  message(FATAL_ERROR "no library installed in ${libdir}")
endif()

# pkg-config: only the installed files and the system's, no --define-variable.
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --modversion vudadive2r)
string(STRIP "${output}" version)

# The flags that link `kind`: a static program takes the two archives by
# their file names, since the linker prefers a shared library to an archive,
# and the system's libraries as the system has them (Debian ships no archive
# of HarfBuzz or graphite2, so a wholly static program cannot be linked).
function(pkg_config_flags kind result)
  if(kind STREQUAL "static")
    run(pkg-config --static --cflags --libs vudadive2r)
    set(link "")
  else()
    run(pkg-config --cflags --libs vudadive2r)
    set(link -Wl,-rpath,${libdir})  # no LD_LIBRARY_PATH: the paths must be right
  endif()
  string(STRIP "${output}" flags)
  if(NOT flags MATCHES "-lzadozi")
    message(FATAL_ERROR "pkg-config flags do not pull in zadozi: ${flags}")
  endif()
  if(kind STREQUAL "static")
    string(REGEX REPLACE "-l(vudadive2r|zadozi)( |$)" "-l:lib\\1.a\\2" flags "${flags}")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${result} ${flags} ${link} PARENT_SCOPE)
endfunction()

# A program of the static kind must not need the shared libraries at run time.
function(check_linked program kind)
  run(${OBJDUMP} -p ${program})
  if(kind STREQUAL "static" AND output MATCHES "NEEDED +lib(vudadive2r|zadozi)")
    message(FATAL_ERROR "${program} needs ${CMAKE_MATCH_0} although linked statically")
  elseif(kind STREQUAL "shared" AND NOT output MATCHES "NEEDED +libvudadive2r\\.so")
    message(FATAL_ERROR "${program} does not use the shared library")
  endif()
endfunction()

# A program that calls only the graphics library, linked with --as-needed,
# lists only it: the library must find libzadozi by itself.
if("shared" IN_LIST kinds)
  pkg_config_flags(shared flags)
  file(WRITE ${WORK_DIR}/version-only.c
       "#include <vudadive2r.h>\nint main(void) { return orv_version_get() == VUDADIVE2R_VERSION ? 0 : 1; }\n")
  run(${C_COMPILER} -std=c99 ${WORK_DIR}/version-only.c -Wl,--as-needed ${flags} -o ${WORK_DIR}/version-only)
  run(${WORK_DIR}/version-only)
endif()

foreach(kind IN LISTS kinds)
  pkg_config_flags(${kind} flags)
  run(${C_COMPILER} -std=c99 -Wall -Wextra -pedantic -Werror ${SOURCE_DIR}/examples/hello.c ${flags}
      -o ${WORK_DIR}/hello-${kind})
  run(${WORK_DIR}/hello-${kind})
  check_linked(${WORK_DIR}/hello-${kind} ${kind})
  run(${CXX_COMPILER} -std=c++17 -Wall -Wextra -Werror "-DPACKAGE_VERSION=\"${version}\""
      ${SOURCE_DIR}/tests/install/client.cpp ${flags} -o ${WORK_DIR}/client-pkg-config-${kind})
  run(${WORK_DIR}/client-pkg-config-${kind})

  # The CMake package, asked for this kind.
  if(kind STREQUAL "static")
    set(use_static ON)
  else()
    set(use_static OFF)
  endif()
  set(build ${WORK_DIR}/cmake-client-${kind})
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/client -B ${build} -G ${GENERATOR}
      -DCMAKE_PREFIX_PATH=${staged} -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DWANTED_VERSION=${version}
      -DVudadive2R_USE_STATIC_LIBS=${use_static})
  run(${CMAKE_COMMAND} --build ${build})
  run(${build}/client)
  check_linked(${build}/client ${kind})
endforeach()

# The examples, as their comments tell a user to build them.
list(GET kinds 0 kind)
pkg_config_flags(${kind} flags)
foreach(example chart.c widget.cpp thumbnail.c)
  get_filename_component(name ${example} NAME_WE)
  if(example MATCHES "\\.c$")
    set(compile ${C_COMPILER} -std=c99 -pedantic)
  else()
    set(compile ${CXX_COMPILER} -std=c++17)
  endif()
  run(${compile} -Wall -Wextra -Werror ${SOURCE_DIR}/examples/${example} ${flags} -o ${WORK_DIR}/${name})
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/ExamplesCheck.cmake)

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

# Installed shared libraries: SONAME and file name agree; stripped unless a
# debug build.
if(shared IN_LIST kinds)
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
endif()

if(NOT DEFINED ROOT AND NOT EXISTS ${staged}/share/doc/vudadive2r/LICENSE)
  message(FATAL_ERROR "the licence is not installed")
endif()
