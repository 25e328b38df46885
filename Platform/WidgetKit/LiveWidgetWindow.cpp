#include "Platform/WidgetKit/LiveWidgetWindow.hpp"

#include "Platform/UI/AccessibilityElement.hpp"
#include "Platform/UI/Renderer.hpp"
#include "Platform/WidgetKit/DesktopSettings.hpp"
#include "Platform/WidgetKit/ReloadSchedule.hpp"

#include <gtk/gtk.h>
#include <glib-unix.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <memory>
#include <signal.h>
#include <string>
#include <vector>

namespace WidgetKit {

namespace {

// GLib timeouts count in unsigned milliseconds; a longer wait is re-armed
// when it ends, which also catches up after the machine slept.
constexpr std::chrono::milliseconds longestTimerWait { 60 * 60 * 1000 };

// The labels of the tree's accessibility elements in reading order, read
// as one text.
std::string spokenLabel(const UI::LaidOutNode& root)
{
    std::string spoken;
    for (auto const& element : UI::accessibilityElements(root))
        spoken += (spoken.empty() ? "" : ". ") + element.label;
    return spoken;
}

class LiveWidget {
public:
    LiveWidget(const WidgetHost& host, const LiveWidgetOptions& options)
        : m_host(host)
        , m_options(options)
        , m_settings([this] { redraw(); })
    {
        auto const size = WidgetKit::size(options.family);
        m_window = GTK_WINDOW(gtk_window_new());
        gtk_window_set_title(m_window, host.widget().displayName().c_str());
        gtk_window_set_decorated(m_window, FALSE);
        gtk_window_set_resizable(m_window, FALSE);
        g_signal_connect(m_window, "close-request", G_CALLBACK(onCloseRequest), this);

        m_area = GTK_DRAWING_AREA(g_object_new(GTK_TYPE_DRAWING_AREA, "accessible-role", GTK_ACCESSIBLE_ROLE_IMG, nullptr));
        gtk_drawing_area_set_content_width(m_area, static_cast<int>(size.width));
        gtk_drawing_area_set_content_height(m_area, static_cast<int>(size.height));
        gtk_drawing_area_set_draw_func(m_area, onDraw, this, nullptr);
        g_signal_connect(m_area, "notify::scale-factor", G_CALLBACK(onScaleChanged), this);

        GtkGesture* click = gtk_gesture_click_new();
        gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(click), GDK_BUTTON_PRIMARY);
        g_signal_connect(click, "released", G_CALLBACK(onClick), this);
        gtk_widget_add_controller(GTK_WIDGET(m_area), GTK_EVENT_CONTROLLER(click));

        // The picture is one image to assistive technology. Its gauges are
        // laid over it as level bars, the one widget GTK 4.8 gives a value
        // a screen reader can read: invisible, and letting every click
        // through to the picture.
        m_gauges = GTK_FIXED(gtk_fixed_new());
        gtk_widget_set_can_target(GTK_WIDGET(m_gauges), FALSE);
        GtkWidget* overlay = gtk_overlay_new();
        gtk_overlay_set_child(GTK_OVERLAY(overlay), GTK_WIDGET(m_area));
        gtk_overlay_add_overlay(GTK_OVERLAY(overlay), GTK_WIDGET(m_gauges));

        gtk_window_set_child(m_window, overlay);
        watchSources();
    }

    ~LiveWidget()
    {
        if (m_timer)
            g_source_remove(m_timer);
        for (auto const& watch : m_watches)
            g_object_unref(watch->monitor);
    }

    LiveWidget(const LiveWidget&) = delete;
    LiveWidget& operator=(const LiveWidget&) = delete;

    int run()
    {
        m_loop = g_main_loop_new(nullptr, FALSE);
        g_unix_signal_add(SIGINT, onQuitSignal, this);
        g_unix_signal_add(SIGTERM, onQuitSignal, this);
        request();
        gtk_window_present(m_window);
        g_main_loop_run(m_loop);
        g_main_loop_unref(m_loop);
        return 0;
    }

private:
    // Asks for a timeline now, shows its entry, and waits for the next time.
    void request()
    {
        auto const now = m_options.clock();
        try {
            auto timeline = m_host.timeline(m_options.family);
            if (timeline.entries.empty())
                throw std::logic_error("the widget answered a timeline without entries");
            m_entry = std::move(timeline.entries.front());
            m_schedule.timelineAnswered(now, timeline.policy);
            redraw();
        } catch (const std::exception& error) {
            // The picture stays as it was; the schedule tries again later.
            std::fprintf(stderr, "%s: cannot get a timeline: %s\n", m_options.programName.c_str(), error.what());
            m_schedule.requestFailed(now);
        }
        arm();
    }

    void arm()
    {
        if (m_timer)
            g_source_remove(m_timer);
        auto const wait = std::min(m_schedule.delay(m_options.clock()), longestTimerWait);
        m_timer = g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(wait.count()), onTimer, this, nullptr);
    }

    static gboolean onTimer(gpointer data)
    {
        auto* self = static_cast<LiveWidget*>(data);
        self->m_timer = 0;
        if (self->m_schedule.delay(self->m_options.clock()).count() == 0)
            self->request();
        else
            self->arm();
        return G_SOURCE_REMOVE;
    }

    // Files are replaced by renaming a new one over them, so the folder is
    // watched, not the file: a watch on the file would end with its first
    // replacement. A folder that does not exist yet is waited for from its
    // nearest existing parent, and watched as soon as it appears.
    void watchSources()
    {
        for (auto const& watch : m_watches)
            g_object_unref(watch->monitor);
        m_watches.clear();
        for (auto const& file : m_host.widget().reloadSources()) {
            auto folder = file.parent_path();
            auto name = file.filename();
            bool const folderExists = std::filesystem::is_directory(folder);
            while (!folder.empty() && !std::filesystem::is_directory(folder) && folder != folder.root_path()) {
                name = folder.filename();
                folder = folder.parent_path();
            }
            GFile* directory = g_file_new_for_path(folder.c_str());
            GFileMonitor* monitor = g_file_monitor_directory(directory, G_FILE_MONITOR_WATCH_MOVES, nullptr, nullptr);
            g_object_unref(directory);
            if (!monitor)
                continue;
            m_watches.push_back(std::make_unique<Watch>(Watch { this, monitor, name.string(), folderExists }));
            g_signal_connect(monitor, "changed", G_CALLBACK(onFolderChanged), m_watches.back().get());
        }
    }

    // One watched folder, and the name in it to look for: the file itself,
    // or the next folder on the way to it.
    struct Watch {
        LiveWidget* widget;
        GFileMonitor* monitor;
        std::string name;
        bool watchesFile;

        // A rename into place names the file as `other`.
        bool concerns(GFile* file) const
        {
            if (!file)
                return false;
            gchar* base = g_file_get_basename(file);
            bool const same = base && name == base;
            g_free(base);
            return same;
        }
    };

    static void onFolderChanged(GFileMonitor*, GFile* file, GFile* other, GFileMonitorEvent, gpointer data)
    {
        auto const* watch = static_cast<const Watch*>(data);
        if (!watch->concerns(file) && !watch->concerns(other))
            return;
        auto* self = watch->widget;
        self->m_schedule.sourceChanged(self->m_options.clock());
        self->arm();
        // The way to a file changed: watch again from the top, later, since
        // this watch is among those replaced.
        if (!watch->watchesFile)
            g_idle_add_once([](gpointer widget) { static_cast<LiveWidget*>(widget)->watchSources(); }, self);
    }

    UI::Appearance appearance() const { return m_options.appearance.value_or(m_settings.appearance()); }

    // A new entry, appearance, motion setting or scale: lay out and draw
    // anew. What assistive technology reads changes with the layout, not
    // when the picture is next painted, so that it never reads an entry
    // the window no longer shows.
    void redraw()
    {
        m_image.reset();
        if (m_entry) {
            m_root = m_host.layout(*m_entry, m_options.family, m_settings.reduceMotion());
            gtk_accessible_update_property(GTK_ACCESSIBLE(m_area), GTK_ACCESSIBLE_PROPERTY_LABEL, spokenLabel(*m_root).c_str(), -1);
            placeGauges(UI::accessibilityGauges(*m_root));
        }
        gtk_widget_queue_draw(GTK_WIDGET(m_area));
    }

    // One level bar per gauge, at the gauge's frame. Bars already there are
    // updated in place, so a screen reader that holds one keeps it.
    void placeGauges(const std::vector<UI::AccessibilityGaugeElement>& gauges)
    {
        while (m_gaugeBars.size() > gauges.size()) {
            gtk_fixed_remove(m_gauges, GTK_WIDGET(m_gaugeBars.back()));
            m_gaugeBars.pop_back();
        }
        for (std::size_t index = 0; index < gauges.size(); ++index) {
            auto const& [gauge, frame] = gauges[index];
            if (index == m_gaugeBars.size()) {
                auto* bar = GTK_LEVEL_BAR(gtk_level_bar_new_for_interval(0, 100));
                gtk_widget_set_opacity(GTK_WIDGET(bar), 0);
                gtk_widget_set_can_target(GTK_WIDGET(bar), FALSE);
                gtk_widget_set_focusable(GTK_WIDGET(bar), FALSE);
                gtk_fixed_put(m_gauges, GTK_WIDGET(bar), 0, 0);
                m_gaugeBars.push_back(bar);
            }
            auto* bar = m_gaugeBars[index];
            gtk_fixed_move(m_gauges, GTK_WIDGET(bar), frame.origin.x, frame.origin.y);
            gtk_widget_set_size_request(GTK_WIDGET(bar), static_cast<int>(frame.size.width), static_cast<int>(frame.size.height));
            gtk_level_bar_set_value(bar, gauge.value);
            gtk_accessible_update_property(GTK_ACCESSIBLE(bar), GTK_ACCESSIBLE_PROPERTY_LABEL, gauge.label.c_str(),
                GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, gauge.description.c_str(), -1);
        }
    }

    static void onScaleChanged(GObject*, GParamSpec*, gpointer data) { static_cast<LiveWidget*>(data)->redraw(); }

    void paint(cairo_t* context)
    {
        if (!m_root)
            return;
        if (!m_image) {
            double const scale = gtk_widget_get_scale_factor(GTK_WIDGET(m_area));
            m_image = std::make_unique<UI::Image>(UI::renderImage(*m_root, { .scale = scale, .appearance = appearance() }));
            ++m_frames;
            if (m_options.reportFrames) {
                std::printf("frame %d\n", m_frames);
                std::fflush(stdout);
            }
        }
        double const scale = gtk_widget_get_scale_factor(GTK_WIDGET(m_area));
        cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(m_image->pixels.data()),
            CAIRO_FORMAT_ARGB32, m_image->width, m_image->height, m_image->width * 4);
        cairo_surface_set_device_scale(surface, scale, scale);
        cairo_set_source_surface(context, surface, 0, 0);
        cairo_paint(context);
        cairo_surface_destroy(surface);
    }

    static void onDraw(GtkDrawingArea*, cairo_t* context, int, int, gpointer data) { static_cast<LiveWidget*>(data)->paint(context); }

    static void onClick(GtkGestureClick*, int, double, double, gpointer data)
    {
        auto* self = static_cast<LiveWidget*>(data);
        if (!self->m_entry)
            return;
        auto const url = self->m_entry->content(self->m_options.family).url();
        if (!url)
            return;
        // The window may be gone by the time the desktop answers: the
        // callback owns what it reports.
        g_app_info_launch_default_for_uri_async(
            url->c_str(), nullptr, nullptr, onOpened, new Opening { *url, self->m_options.programName });
    }

    struct Opening {
        std::string url;
        std::string programName;
    };

    static void onOpened(GObject*, GAsyncResult* result, gpointer data)
    {
        auto* opening = static_cast<Opening*>(data);
        GError* error = nullptr;
        // A desktop with no handler for the address is no reason to stop.
        if (!g_app_info_launch_default_for_uri_finish(result, &error)) {
            std::fprintf(stderr, "%s: cannot open %s: %s\n", opening->programName.c_str(), opening->url.c_str(),
                error ? error->message : "no handler");
            g_clear_error(&error);
        }
        delete opening;
    }

    static gboolean onCloseRequest(GtkWindow*, gpointer data)
    {
        g_main_loop_quit(static_cast<LiveWidget*>(data)->m_loop);
        return FALSE;
    }

    static gboolean onQuitSignal(gpointer data)
    {
        g_main_loop_quit(static_cast<LiveWidget*>(data)->m_loop);
        return G_SOURCE_CONTINUE;
    }

    const WidgetHost& m_host;
    LiveWidgetOptions m_options;
    DesktopSettings m_settings;
    ReloadSchedule m_schedule;
    std::optional<HostedEntry> m_entry;
    std::optional<UI::LaidOutNode> m_root;
    std::unique_ptr<UI::Image> m_image;
    int m_frames = 0;
    GtkWindow* m_window = nullptr;
    GtkDrawingArea* m_area = nullptr;
    GtkFixed* m_gauges = nullptr;
    std::vector<GtkLevelBar*> m_gaugeBars;
    GMainLoop* m_loop = nullptr;
    guint m_timer = 0;
    std::vector<std::unique_ptr<Watch>> m_watches;
};

}

extern "C" int widgetKitRunLiveWidgetWindow(const WidgetHost* host, const LiveWidgetOptions* options)
{
    // Assistive technologies know an application by the program's name and
    // show the application name beside it; both are read when GTK starts.
    g_set_prgname(options->programName.c_str());
    g_set_application_name(host->widget().displayName().c_str());
    if (!gtk_init_check()) {
        std::fprintf(stderr, "%s: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)\n", options->programName.c_str());
        return 1;
    }
    LiveWidget widget(*host, *options);
    return widget.run();
}

}
