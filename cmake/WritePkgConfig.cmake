# Runs at install time, when the prefix is final: writes the pkg-config files
# with every path relative to ${pcfiledir}, so that the installed tree may be
# given any prefix, staged under DESTDIR or moved as a whole.
# In: PKGCONFIG_LIBDIR, PKGCONFIG_INCLUDEDIR (relative to the prefix or
# absolute), PKGCONFIG_STAGING, PKGCONFIG_TEMPLATES and the versions.
function(full_install_path relative_or_absolute result)
  if(IS_ABSOLUTE "${relative_or_absolute}")
    set(path "${relative_or_absolute}")
  else()
    set(path "${CMAKE_INSTALL_PREFIX}/${relative_or_absolute}")
  endif()
  get_filename_component(path "${path}" ABSOLUTE)
  set(${result} "${path}" PARENT_SCOPE)
endfunction()

function(relative_to_pcfiledir pcfiledir path result)
  file(RELATIVE_PATH relative "${pcfiledir}" "${path}")
  string(REGEX REPLACE "/+$" "" relative "${relative}")
  if(relative STREQUAL "")
    set(${result} "\${pcfiledir}" PARENT_SCOPE)
  else()
    set(${result} "\${pcfiledir}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

full_install_path("${CMAKE_INSTALL_PREFIX}" prefix)
full_install_path("${PKGCONFIG_LIBDIR}" libdir)
full_install_path("${PKGCONFIG_INCLUDEDIR}" includedir)
relative_to_pcfiledir("${libdir}/pkgconfig" "${prefix}" PC_PREFIX)
relative_to_pcfiledir("${libdir}/pkgconfig" "${libdir}" PC_LIBDIR)
relative_to_pcfiledir("${libdir}/pkgconfig" "${includedir}" PC_INCLUDEDIR)
foreach(template IN LISTS PKGCONFIG_TEMPLATES)
  get_filename_component(name "${template}" NAME_WLE)
  configure_file("${template}" "${PKGCONFIG_STAGING}/${name}" @ONLY)
endforeach()
