# Hardening of an optimised build with the distribution's own flags: what Debian's dpkg-buildflags
# adds for its hardening features (fortified C library calls, the strong stack protector, format
# checks, read-only relocations bound at start-up), so that the program is built as a Debian package
# of it would be. DEB_BUILD_MAINT_OPTIONS at configure time chooses the features instead, as it does
# for dpkg-buildflags ("hardening=+all,-fortify"). Executables are position-independent besides.

include(CheckPIESupported)
check_pie_supported()

find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags (Debian's dpkg-dev) is missing: the build is not hardened")
  return()
endif()

# The flags of one kind (CPPFLAGS, CXXFLAGS, LDFLAGS) that dpkg-buildflags gives for the features.
function(debian_build_flags kind features result)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=${features}" ${DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${result} "${flags}" PARENT_SCOPE)
endfunction()

set(hardening_features "hardening=+all")
if(DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
  set(hardening_features "$ENV{DEB_BUILD_MAINT_OPTIONS}")
endif()

# The hardening flags are those that the chosen features add to every feature off; the rest (-g,
# -O2, the prefix map) is the build type's business.
function(hardening_flags kind result)
  debian_build_flags(${kind} "${hardening_features}" hardened)
  debian_build_flags(${kind} "hardening=-all" plain)
  list(REMOVE_ITEM hardened ${plain})
  set(${result} "${hardened}" PARENT_SCOPE)
endfunction()

hardening_flags(CPPFLAGS hardening_preprocessor)
hardening_flags(CXXFLAGS hardening_compiler)
hardening_flags(LDFLAGS hardening_linker)
add_compile_options(${hardening_preprocessor} ${hardening_compiler})
add_link_options(${hardening_linker})
set(hardening_summary ${hardening_preprocessor} ${hardening_compiler} ${hardening_linker} -pie)
list(JOIN hardening_summary " " hardening_summary)
message(STATUS "Hardened build: ${hardening_summary}")
