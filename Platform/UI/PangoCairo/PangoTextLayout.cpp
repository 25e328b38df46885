#include "Platform/UI/PangoCairo/PangoTextLayout.hpp"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace UI {

namespace {

enum class Rounding { nearest, down };

// Pango counts in 1/PANGO_SCALE of a point, in an int. Every length that
// reaches here is sanitized, but the conversion is guarded all the same:
// a double outside int's range would be undefined behaviour.
int pangoUnits(double points, Rounding rounding = Rounding::nearest)
{
    constexpr double limit = 1'000'000.0 * PANGO_SCALE;
    if (std::isnan(points))
        return 0;
    double const units = std::clamp(points * PANGO_SCALE, -limit, limit);
    return static_cast<int>(rounding == Rounding::down ? std::floor(units) : std::round(units));
}

double points(int pangoUnits)
{
    return static_cast<double>(pangoUnits) / PANGO_SCALE;
}

PangoWeight pangoWeight(FontWeight weight)
{
    switch (weight) {
    case FontWeight::semibold:
        return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold:
        return PANGO_WEIGHT_BOLD;
    case FontWeight::regular:
        break;
    }
    return PANGO_WEIGHT_NORMAL;
}

// Text is measured in points on no surface, and drawn later at some scale
// onto an image or a document. With hinted metrics or glyph positions
// rounded to device units the advances would depend on that scale, and a
// text measured to fit could be truncated when drawn. Unhinted, unrounded
// metrics are the same at every scale.
PangoContext* createContext()
{
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    return context;
}

void setFont(PangoLayout* layout, const TextSetting& setting)
{
    PangoFontDescription* description = pango_font_description_new();
    std::string const families(fontFamilies());
    pango_font_description_set_family(description, families.c_str());
    pango_font_description_set_weight(description, pangoWeight(setting.weight));
    // Absolute sizes are in user-space units, which are points here; a
    // size "in points" would be scaled by the font map's resolution.
    pango_font_description_set_absolute_size(description, std::max(1, pangoUnits(setting.pointSize)));
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
}

void setAttributes(PangoLayout* layout, const TextSetting& setting)
{
    PangoAttrList* attributes = pango_attr_list_new();
    if (setting.kerning != 0)
        pango_attr_list_insert(attributes, pango_attr_letter_spacing_new(pangoUnits(setting.kerning)));
    if (setting.monospacedDigit)
        pango_attr_list_insert(attributes, pango_attr_font_features_new("tnum 1"));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
}

void setLines(PangoLayout* layout, const TextSetting& setting)
{
    if (!setting.width)
        return;
    // Rounded down, so that no line is measured wider than it was allowed.
    pango_layout_set_width(layout, pangoUnits(*setting.width, Rounding::down));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    if (!setting.lineLimit)
        return;
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    // A height of 0 is one line for the whole layout; a negative height is
    // that many lines per paragraph.
    int const lines = std::max(1, *setting.lineLimit);
    pango_layout_set_height(layout, lines == 1 ? 0 : -lines);
}

// One context serves every text a thread sets: making a context and its
// font options costs about as much as shaping a short text. Pango objects
// belong to the thread that made them, hence one per thread. The context is
// never changed once made, so no layout made in it ever has to be set
// again.
PangoContext* threadContext()
{
    struct Owner {
        PangoContext* context = createContext();
        ~Owner() { g_object_unref(context); }
    };
    thread_local Owner const owner;
    return owner.context;
}

}

PangoTextLayout::PangoTextLayout(std::string_view string, const TextSetting& setting)
    : m_layout(pango_layout_new(threadContext()))
    , m_thread(std::this_thread::get_id())
{
    setFont(m_layout, setting);
    setAttributes(m_layout, setting);
    setLines(m_layout, setting);
    auto const length = static_cast<int>(std::min<std::size_t>(string.size(), G_MAXINT));
    pango_layout_set_text(m_layout, string.data(), length);
}

PangoTextLayout::~PangoTextLayout()
{
    g_object_unref(m_layout);
}

Size PangoTextLayout::size() const
{
    PangoRectangle logical;
    pango_layout_get_extents(m_layout, nullptr, &logical);
    return { points(logical.width), points(logical.height) };
}

double PangoTextLayout::firstBaseline() const
{
    return points(pango_layout_get_baseline(m_layout));
}

bool PangoTextLayout::isTruncated() const
{
    return pango_layout_is_ellipsized(m_layout);
}

int PangoTextLayout::unknownGlyphCount() const
{
    return pango_layout_get_unknown_glyphs_count(m_layout);
}

int PangoTextLayout::lineCount() const
{
    return pango_layout_get_line_count(m_layout);
}

bool PangoTextLayout::isUsableOnThisThread() const
{
    return m_thread == std::this_thread::get_id();
}

}
