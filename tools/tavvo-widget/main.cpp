// tavvo-widget: the widget extension program. The host stand-in answers
// requests for the bundle's one widget; the program adds the surfaces that
// show the same data elsewhere on the desktop.
#include "Platform/WidgetKit/WidgetBundleMain.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetBundle.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/NotifyCommand.hpp"
#include "TavvoWidgetExtension/TavvoStatusBar/StatusBarCommand.hpp"

int main(int argc, char** argv)
{
    return WidgetKit::widgetBundleMain<TavvoWidgetBundle>("tavvo-widget", argc, argv,
        [](CommandLine::Program& program, const WidgetKit::LentServices& lent) {
            TavvoSurfaces::addStatusBarCommand(program, lent);
            TavvoSurfaces::addNotifyCommand(program, lent);
        });
}
