#include "TavvoShared/Localization/LocalizationBundleMarker.hpp"

Foundation::Bundle LocalizationBundleMarker::bundle()
{
    // An object of this class, placed in the library's own data, names the
    // library by its address.
    static constexpr LocalizationBundleMarker marker {};
    return Foundation::Bundle::bundleContaining(&marker);
}
