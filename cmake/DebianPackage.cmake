# The binary Debian package `tavvo`, made by CPack from the same install
# rules as `cmake --install`, so the package and a prefix can never hold
# different files. `make package` configures a build of its own for /usr
# with Debian's hardening flags and runs `cpack` there.

# Debian keeps a package's copyright and changelog in /usr/share/doc/<name>,
# the changelog compressed reproducibly (no name or time in the header).
set(TAVVO_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tavvo)
set(TAVVO_PACKAGE_CHANGELOG ${PROJECT_BINARY_DIR}/package/changelog.gz)
add_custom_command(OUTPUT ${TAVVO_PACKAGE_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/share/debian/changelog > ${TAVVO_PACKAGE_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/share/debian/changelog
  VERBATIM)
add_custom_target(TavvoPackageChangelog ALL DEPENDS ${TAVVO_PACKAGE_CHANGELOG})
install(FILES share/debian/copyright ${TAVVO_PACKAGE_CHANGELOG} DESTINATION ${TAVVO_PACKAGE_DOCDIR})

# The package's version is the changelog's newest entry, so the two cannot
# disagree.
execute_process(
  COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/share/debian/changelog -S Version
  OUTPUT_VARIABLE TAVVO_PACKAGE_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
if(NOT TAVVO_PACKAGE_VERSION STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "share/debian/changelog's newest entry is ${TAVVO_PACKAGE_VERSION}, the project is ${PROJECT_VERSION}: add a changelog entry")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/share/debian/changelog)

set(TAVVO_PACKAGE_MAINTAINER "The Tavvo developers <developers@tavvo.app>" CACHE STRING
  "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TAVVO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shows how much of your coding-service usage limits is left")
# CPack puts the summary first, as the synopsis.
set(CPACK_PACKAGE_DESCRIPTION "Tavvo shows, at a glance on a Linux desktop, how much of the usage limits
of two AI coding services (Codex and Claude Code) is left: the remaining
share of each limit window, when it resets, whether the data is fresh,
why nothing can be shown when that is so, and whether the allowance lasts
until its reset.
.
tavvo collect builds the snapshot from what both services already keep on
this machine. tavvo-widget draws the widget in four sizes, keeps it in a
window on the desktop, prints status-bar lines for Waybar, i3bar, Polybar
and tmux, and sends desktop notifications when a limit runs low.
.
The package also holds libTavvoShared with its headers, CMake package and
pkg-config file, for programs that publish snapshots of their own.")

# Installed with DESTDIR, so the prefix every installed file sees (the
# systemd units name their program by absolute path) is /usr itself, not
# CPack's staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Dependencies come from the libraries the programs and modules actually
# link, through dpkg-shlibdeps; the package's own libraries get a shlibs
# file (and the loader-cache trigger) so that host programs built against
# them depend on this version or later.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The loader's cache is brought up to date by dpkg's ldconfig trigger.
# CPack's generator also writes postinst and postrm scripts that only run
# ldconfig, whenever libraries go into the loader's folders; a package with
# a postrm stays behind in dpkg's database after `apt remove` (as "rc"), so
# the finished package is repacked without them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/share/debian/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianPackageWithoutLdconfigScripts.cmake)
install(FILES share/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tavvo)
# Building a host program against the headers needs ICU's and a build
# tool's development files; running Tavvo does not.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libicu-dev, cmake | pkg-config")

include(CPack)
