# cmake -DSOURCE=share/gnome-shell -DVARIANT=legacy|module -DOUTPUT=DIR -DUUID=UUID -P AssembleExtension.cmake
#
# One variant of the extension from the shared sources: extension.js is the
# variant's imports, the tavvo-widget child and the window action
# (program.js, shared with the Cinnamon applet), the indicator, and the
# variant's entry point;
# panelLayout.js is the logic as it stands (a legacy script exports its
# functions) or with an export list (an ES module); metadata.json lists
# the shell versions that load the variant.
if(VARIANT STREQUAL "legacy")
  set(TAVVO_SHELL_VERSIONS "\"43\", \"44\"")
else()
  set(TAVVO_SHELL_VERSIONS "\"45\", \"46\", \"47\", \"48\"")
endif()
set(TAVVO_EXTENSION_UUID ${UUID})

file(READ ${SOURCE}/${VARIANT}/imports.js imports)
file(READ ${SOURCE}/program.js program)
file(READ ${SOURCE}/indicator.js indicator)
file(READ ${SOURCE}/${VARIANT}/entry.js entry)
file(WRITE ${OUTPUT}/extension.js "${imports}${program}\n${indicator}${entry}")

file(READ ${SOURCE}/panelLayout.js layout)
set(exports "")
if(EXISTS ${SOURCE}/${VARIANT}/panelLayout-exports.js)
  file(READ ${SOURCE}/${VARIANT}/panelLayout-exports.js exports)
endif()
file(WRITE ${OUTPUT}/panelLayout.js "${layout}${exports}")

configure_file(${SOURCE}/metadata.json.in ${OUTPUT}/metadata.json @ONLY)
configure_file(${SOURCE}/stylesheet.css ${OUTPUT}/stylesheet.css COPYONLY)
