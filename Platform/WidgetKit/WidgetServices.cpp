#include "Platform/WidgetKit/WidgetServices.hpp"

#include <chrono>

namespace WidgetKit {

WidgetServices WidgetServices::system()
{
    return {
        Foundation::FileManager::defaultManager(),
        [] { return std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::system_clock::now()); },
    };
}

}
