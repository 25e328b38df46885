// The floor for the widget program's start-up: a program that loads the
// same libraries as tavvo-widget and does nothing with them.
#include "Platform/WidgetKit/WidgetHost.hpp"
#include "TavvoShared/Localization/L10n.hpp"

#include <cstdlib>

int main(int argc, char**)
{
    // Referenced so the libraries stay linked, never called.
    if (argc < 0) {
        L10n::resolvedLanguage();
        WidgetKit::size(WidgetKit::WidgetFamily::systemSmall);
    }
    return EXIT_SUCCESS;
}
