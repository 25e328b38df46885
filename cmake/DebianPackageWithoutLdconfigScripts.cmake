# Run by CPack once the .deb is made: takes out the postinst and postrm
# scripts its generator adds (they only run ldconfig, which the package's
# ldconfig trigger already does) and packs the package again, owned by root
# as before.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/repack)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  foreach(script IN ITEMS postinst postrm)
    file(READ ${tree}/DEBIAN/${script} text)
    string(REGEX REPLACE "#![^\n]*\n|set -e\n|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then\n\tldconfig\nfi\n|\n" "" rest "${text}")
    if(NOT rest STREQUAL "")
      message(FATAL_ERROR "the package's ${script} does more than run ldconfig:\n${text}")
    endif()
    file(REMOVE ${tree}/DEBIAN/${script})
  endforeach()
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${package}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
