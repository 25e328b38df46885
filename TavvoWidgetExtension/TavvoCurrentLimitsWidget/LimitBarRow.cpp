#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/LimitBarRow.hpp"
