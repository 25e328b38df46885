# cmake -DSOURCE=share/cinnamon -DSHARED=share/gnome-shell -DOUTPUT=DIR -DUUID=UUID -P AssembleApplet.cmake
#
# The applet from its sources and the GNOME Shell extension's: applet.js is
# the applet's imports, the tavvo-widget child and the window action
# (program.js), and the applet; panelLayout.js and stylesheet.css are the
# extension's own, as the legacy variant has them.
set(TAVVO_APPLET_UUID ${UUID})
file(READ ${SOURCE}/imports.js imports)
file(READ ${SHARED}/program.js program)
file(READ ${SOURCE}/applet.js applet)
file(WRITE ${OUTPUT}/applet.js "${imports}\n${program}\n${applet}")
configure_file(${SHARED}/panelLayout.js ${OUTPUT}/panelLayout.js COPYONLY)
configure_file(${SHARED}/stylesheet.css ${OUTPUT}/stylesheet.css COPYONLY)
configure_file(${SOURCE}/metadata.json.in ${OUTPUT}/metadata.json @ONLY)
