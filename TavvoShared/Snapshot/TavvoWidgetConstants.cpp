#include "TavvoShared/Snapshot/TavvoWidgetConstants.hpp"

namespace TavvoWidgetConstants {

const std::string& openURL()
{
    static std::string const url = "tavvo://open";
    return url;
}

}
