// LocalizationBundleMarker: how the library finds its own resource bundle,
// the folder that holds one <code>.lproj string table per language.
#pragma once

#include "Platform/Foundation/Bundle.hpp"

// Exists only to be compiled into the library: the bundle belongs to the
// binary that holds this class's code, whichever program loaded it.
class LocalizationBundleMarker {
public:
    static Foundation::Bundle bundle();
};
