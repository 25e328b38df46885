# cmake -DSOURCE=share/plasma -DVARIANT=5|6 -DOUTPUT=DIR -DID=ID -DVERSION=X.Y.Z -P AssemblePlasmoid.cmake
#
# One variant of the widget's package from the shared sources: each QML
# file is the variant's imports followed by the shared body (main.qml's
# body is the variant's own root); limitsLayout.js is the same for both;
# metadata.json names the Plasma API the variant needs.
set(TAVVO_PLASMOID_ID ${ID})
set(PROJECT_VERSION ${VERSION})
if(VARIANT STREQUAL "6")
  set(TAVVO_PLASMA_API_MINIMUM "\n    \"X-Plasma-API-Minimum-Version\": \"6.0\",")
else()
  set(TAVVO_PLASMA_API_MINIMUM "")
endif()

set(ui ${OUTPUT}/contents/ui)
file(READ ${SOURCE}/plasma${VARIANT}/imports.qml imports)
file(READ ${SOURCE}/plasma${VARIANT}/main.qml root)
file(WRITE ${ui}/main.qml "${imports}${root}")
foreach(name CompactLine FullView LimitGauge Feed)
  file(READ ${SOURCE}/${name}.qml body)
  file(WRITE ${ui}/${name}.qml "${imports}${body}")
endforeach()
configure_file(${SOURCE}/limitsLayout.js ${ui}/limitsLayout.js COPYONLY)
configure_file(${SOURCE}/metadata.json.in ${OUTPUT}/metadata.json @ONLY)
