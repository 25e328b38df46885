#include "TavvoShared/Localization/LocalizationBundleMarker.hpp"

Foundation::Bundle LocalizationBundleMarker::bundle()
{
    // An object of this class, placed in the library's own data, names the
    // library by its address.
    // The library stays mapped where it was loaded from, so it is located once.
    static constexpr LocalizationBundleMarker marker {};
    static Foundation::Bundle const bundle = Foundation::Bundle::bundleContaining(&marker);
    return bundle;
}
