#include "TavvoWidgetExtension/WidgetTestSupport.hpp"
