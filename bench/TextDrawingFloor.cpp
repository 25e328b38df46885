// The floor for a whole render run: a program that does the least any
// program drawing the same picture must do. It sets each text with Pango at
// its place, size and weight, draws it with Cairo on a canvas of the same
// size, writes the PNG and exits; nothing of ours is linked.
//
//   tavvo-text-floor TEXTS WIDTH HEIGHT SCALE OUTPUT.png
//
// TEXTS has one text a line: x, y, size in points, Pango weight and the
// string, separated by tabs (bench/process-budgets.sh writes it from the
// widget's own layout).
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fputs("usage: tavvo-text-floor TEXTS WIDTH HEIGHT SCALE OUTPUT.png\n", stderr);
        return EXIT_FAILURE;
    }
    std::ifstream texts(argv[1]);
    if (!texts) {
        std::fprintf(stderr, "tavvo-text-floor: cannot open %s\n", argv[1]);
        return EXIT_FAILURE;
    }
    double const scale = std::atof(argv[4]);
    int const width = static_cast<int>(std::ceil(std::atof(argv[2]) * scale));
    int const height = static_cast<int>(std::ceil(std::atof(argv[3]) * scale));

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* context = cairo_create(surface);
    cairo_scale(context, scale, scale);
    PangoLayout* layout = pango_cairo_create_layout(context);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans, WenQuanYi Micro Hei");

    std::string line;
    while (std::getline(texts, line)) {
        std::istringstream fields(line);
        double x = 0, y = 0, size = 0;
        int weight = PANGO_WEIGHT_NORMAL;
        fields >> x >> y >> size >> weight;
        fields.ignore(1); // the tab before the string, which may hold spaces
        std::string string;
        std::getline(fields, string);
        // Absolute sizes, as the widget sets them: points of the canvas,
        // not 4/3 larger.
        pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
        pango_font_description_set_weight(font, static_cast<PangoWeight>(weight));
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, string.data(), static_cast<int>(string.size()));
        cairo_move_to(context, x, y);
        pango_cairo_show_layout(context, layout);
    }

    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(context);
    cairo_status_t const written = cairo_surface_write_to_png(surface, argv[5]);
    cairo_surface_destroy(surface);
    if (written != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "tavvo-text-floor: cannot write %s: %s\n", argv[5], cairo_status_to_string(written));
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
