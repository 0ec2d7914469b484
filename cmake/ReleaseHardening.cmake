# The Release build (what `make run`, `make package` and `make bench` make) is
# built like every Debian package: the flags dpkg-buildflags gives with all
# hardening on (fortified string functions, a strong stack protector,
# format-string errors, read-only relocations bound at start-up, position-
# independent executables). Where dpkg-buildflags is missing, the same flags
# are set here. The optimisation level stays the build type's own (-O3), and
# Release carries no debug information: the package strips it anyway.
# Sanitizer and fuzzing builds keep their own flags.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Release" OR ORVEX_SANITIZE OR ORVEX_FUZZ)
    return()
endif()

find_program(DPKG_BUILDFLAGS_PROGRAM dpkg-buildflags)

# The value of one dpkg-buildflags flag set, as a list; empty when the
# program is missing or fails.
function(orvex_dpkg_buildflags name out)
    set(${out} "" PARENT_SCOPE)
    if(NOT DPKG_BUILDFLAGS_PROGRAM)
        return()
    endif()
    # Run from the source folder, so that file paths in the programs are
    # written relative to it.
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS_PROGRAM} --get ${name}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(FILTER flags EXCLUDE REGEX "^-(O.*|g)$")
        set(${out} "${flags}" PARENT_SCOPE)
    endif()
endfunction()

orvex_dpkg_buildflags(CPPFLAGS hardening_preprocessor)
orvex_dpkg_buildflags(CXXFLAGS hardening_compiler)
orvex_dpkg_buildflags(LDFLAGS hardening_linker)

if(hardening_compiler AND hardening_linker)
    set(hardening_source "dpkg-buildflags")
else()
    set(hardening_source "the flags dpkg-buildflags would give")
    set(hardening_preprocessor -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
    set(hardening_compiler -fstack-protector-strong -Wformat -Werror=format-security)
    set(hardening_linker -Wl,-z,relro -Wl,-z,now)
    # Position-independent executables: most compilers, Debian's among them,
    # make them unless told otherwise. Only one that does not is asked for
    # them, at the cost of -fPIC for the engine's libraries (any function
    # replaceable at load time, so fewer calls inlined).
    include(CheckCXXSourceCompiles)
    check_cxx_source_compiles("#ifndef __PIE__\n#error\n#endif\nint main() {}"
                              ORVEX_COMPILER_MAKES_PIE)
    if(NOT ORVEX_COMPILER_MAKES_PIE)
        set(CMAKE_POSITION_INDEPENDENT_CODE ON)
        include(CheckPIESupported)
        check_pie_supported(LANGUAGES CXX)
    endif()
endif()

add_compile_options(${hardening_preprocessor} ${hardening_compiler})
add_link_options(${hardening_linker})
list(JOIN hardening_preprocessor " " shown_preprocessor)
list(JOIN hardening_compiler " " shown_compiler)
list(JOIN hardening_linker " " shown_linker)
message(STATUS "Hardened Release build, from ${hardening_source}: "
               "${shown_preprocessor} ${shown_compiler} ${shown_linker}")
