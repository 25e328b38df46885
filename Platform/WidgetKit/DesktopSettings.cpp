#include "Platform/WidgetKit/DesktopSettings.hpp"

#include <gtk/gtk.h>

#include <optional>
#include <string_view>

namespace WidgetKit {

namespace {

constexpr const char* appearanceNamespace = "org.freedesktop.appearance";
constexpr const char* colorSchemeKey = "color-scheme";
// The portal answers at once or not at all; a desktop without one must not
// hold up the first frame.
constexpr int portalTimeoutMilliseconds = 500;

// The portal's color scheme, 1 dark and 2 light; 0 (no preference) and
// anything else leave the choice to the theme. Older portals wrap the
// value in one variant more, so variants are unwrapped until a number.
std::optional<UI::Appearance> appearanceOfColorScheme(GVariant* value)
{
    GVariant* current = g_variant_ref(value);
    while (current && g_variant_is_of_type(current, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(current);
        g_variant_unref(current);
        current = inner;
    }
    std::optional<UI::Appearance> appearance;
    if (current && g_variant_is_of_type(current, G_VARIANT_TYPE_UINT32)) {
        auto const scheme = g_variant_get_uint32(current);
        if (scheme == 1)
            appearance = UI::Appearance::dark;
        else if (scheme == 2)
            appearance = UI::Appearance::light;
    }
    if (current)
        g_variant_unref(current);
    return appearance;
}

}

struct DesktopSettings::State {
    std::function<void()> changed;
    GDBusProxy* portal = nullptr;
    std::optional<UI::Appearance> portalAppearance;
    std::vector<gulong> settingsHandlers;

    void readPortal()
    {
        GError* error = nullptr;
        GVariant* reply = g_dbus_proxy_call_sync(portal, "Read", g_variant_new("(ss)", appearanceNamespace, colorSchemeKey),
            G_DBUS_CALL_FLAGS_NONE, portalTimeoutMilliseconds, nullptr, &error);
        if (!reply) {
            g_clear_error(&error);
            return;
        }
        GVariant* value = g_variant_get_child_value(reply, 0);
        portalAppearance = appearanceOfColorScheme(value);
        g_variant_unref(value);
        g_variant_unref(reply);
    }

    static void onPortalSignal(GDBusProxy*, const char*, const char* signal, GVariant* parameters, gpointer data)
    {
        auto* state = static_cast<State*>(data);
        if (std::string_view(signal) != "SettingChanged")
            return;
        const char* space = nullptr;
        const char* key = nullptr;
        GVariant* value = nullptr;
        g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
        if (std::string_view(space) == appearanceNamespace && std::string_view(key) == colorSchemeKey) {
            state->portalAppearance = appearanceOfColorScheme(value);
            state->changed();
        }
        g_variant_unref(value);
    }

    static void onSettingsChanged(GObject*, GParamSpec*, gpointer data) { static_cast<State*>(data)->changed(); }
};

DesktopSettings::DesktopSettings(std::function<void()> changed)
    : m_state(std::make_unique<State>())
{
    m_state->changed = std::move(changed);
    GError* error = nullptr;
    // No session bus or no portal: the theme decides, which is no error.
    m_state->portal = g_dbus_proxy_new_for_bus_sync(G_BUS_TYPE_SESSION, G_DBUS_PROXY_FLAGS_DO_NOT_AUTO_START_AT_CONSTRUCTION,
        nullptr, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", nullptr,
        &error);
    g_clear_error(&error);
    if (m_state->portal) {
        m_state->readPortal();
        g_signal_connect(m_state->portal, "g-signal", G_CALLBACK(State::onPortalSignal), m_state.get());
    }
    GtkSettings* settings = gtk_settings_get_default();
    for (auto const* property : { "notify::gtk-theme-name", "notify::gtk-application-prefer-dark-theme", "notify::gtk-enable-animations" })
        m_state->settingsHandlers.push_back(g_signal_connect(settings, property, G_CALLBACK(State::onSettingsChanged), m_state.get()));
}

DesktopSettings::~DesktopSettings()
{
    GtkSettings* settings = gtk_settings_get_default();
    for (auto const handler : m_state->settingsHandlers)
        g_signal_handler_disconnect(settings, handler);
    if (m_state->portal)
        g_object_unref(m_state->portal);
}

UI::Appearance DesktopSettings::appearance() const
{
    if (m_state->portalAppearance)
        return *m_state->portalAppearance;
    gboolean preferDark = FALSE;
    gchar* themeName = nullptr;
    g_object_get(gtk_settings_get_default(), "gtk-application-prefer-dark-theme", &preferDark, "gtk-theme-name", &themeName, nullptr);
    std::string_view const theme = themeName ? themeName : "";
    bool const dark = preferDark || theme.ends_with("-dark") || theme.ends_with(":dark");
    g_free(themeName);
    return dark ? UI::Appearance::dark : UI::Appearance::light;
}

UI::ReduceMotion DesktopSettings::reduceMotion() const
{
    gboolean animations = TRUE;
    g_object_get(gtk_settings_get_default(), "gtk-enable-animations", &animations, nullptr);
    return animations ? UI::ReduceMotion::off : UI::ReduceMotion::on;
}

}
