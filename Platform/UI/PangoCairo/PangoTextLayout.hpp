// PangoTextLayout: a TextLayout set by Pango, in points, on no surface.
#pragma once

#include "Platform/UI/TextLayout.hpp"

#include <thread>

extern "C" {
typedef struct _PangoLayout PangoLayout;
}

namespace UI {

class PangoTextLayout final : public TextLayout {
public:
    PangoTextLayout(std::string_view string, const TextSetting& setting);
    PangoTextLayout(const PangoTextLayout&) = delete;
    PangoTextLayout& operator=(const PangoTextLayout&) = delete;
    ~PangoTextLayout() override;

    Size size() const override;
    double firstBaseline() const override;
    bool isTruncated() const override;
    int unknownGlyphCount() const override;
    int lineCount() const override;
    bool isUsableOnThisThread() const override;

    PangoLayout* pangoLayout() const { return m_layout; }

private:
    PangoLayout* m_layout;
    std::thread::id m_thread;
};

}
