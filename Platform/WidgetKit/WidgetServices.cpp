#include "Platform/WidgetKit/WidgetServices.hpp"

#include <chrono>

namespace WidgetKit {

WidgetServices WidgetServices::system()
{
    return {
        Foundation::FileManager::defaultManager(),
        Foundation::currentDate,
    };
}

}
