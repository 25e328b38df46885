// DesktopSettings: what the desktop says about how widgets should look:
// light or dark, and whether the user wants less motion. Read from the
// freedesktop settings portal where there is one, else from GTK's own
// settings, and watched, so a change is reported while the host runs.
// Needs GTK to be initialized.
#pragma once

#include "Platform/UI/Animation.hpp"
#include "Platform/UI/Color.hpp"

#include <functional>
#include <memory>

namespace WidgetKit {

class DesktopSettings {
public:
    // `changed` is called on the main loop whenever either value changes.
    explicit DesktopSettings(std::function<void()> changed);
    ~DesktopSettings();
    DesktopSettings(const DesktopSettings&) = delete;
    DesktopSettings& operator=(const DesktopSettings&) = delete;

    UI::Appearance appearance() const;
    UI::ReduceMotion reduceMotion() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}
