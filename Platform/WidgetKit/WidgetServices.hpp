// WidgetServices: what the host lends a widget to build its configuration
// with: the file manager and the clock every request reads. A host pins
// both for tests and scripts (a folder standing in for the shared
// container, a fixed instant); otherwise they are the real ones.
#pragma once

#include "Platform/Foundation/Date.hpp"
#include "Platform/Foundation/FileManager.hpp"

#include <functional>
#include <memory>

namespace WidgetKit {

using Clock = std::function<Foundation::Date()>;

struct WidgetServices {
    std::shared_ptr<Foundation::FileManager> fileManager;
    Clock clock;

    // The process-wide file manager and the system clock.
    static WidgetServices system();
};

}
