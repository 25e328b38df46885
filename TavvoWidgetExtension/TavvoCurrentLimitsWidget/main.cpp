// tavvo-widget: the widget extension program. The host stand-in answers
// requests for the bundle's one widget.
#include "Platform/WidgetKit/WidgetBundleMain.hpp"
#include "TavvoWidgetExtension/TavvoCurrentLimitsWidget/TavvoWidgetBundle.hpp"
#include "TavvoWidgetExtension/TavvoNotifications/NotifyCommand.hpp"

int main(int argc, char** argv)
{
    return WidgetKit::widgetBundleMain<TavvoWidgetBundle>("tavvo-widget", argc, argv, declareNotifyCommand);
}
