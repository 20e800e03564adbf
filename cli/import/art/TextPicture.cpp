#include "cli/import/art/TextPicture.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace merrowcli::import {

namespace {

struct GlibFreer {
    void operator()(gchar* text) const { g_free(text); }
};

struct SurfaceFreer {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoFreer {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
struct ObjectFreer {
    void operator()(void* object) const { g_object_unref(object); }
};
struct FontFreer {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
struct OptionsFreer {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};

constexpr double kLargestShare = 0.7;  // of the height
constexpr int kSmallestPixels = 6;

// Fixed font options so the pixels do not follow the desktop's settings: grey antialiasing,
// no hinting, unhinted metrics.
void setFixedFontOptions(PangoLayout* layout) {
    std::unique_ptr<cairo_font_options_t, OptionsFreer> options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options.get());
    pango_layout_context_changed(layout);
}

// The largest size whose ink fits the picture, shrinking a pixel at a time; at the smallest
// size, a text still too wide is ellipsized at the end. Gives the ink's extents.
PangoRectangle fitText(PangoLayout* layout, PangoFontDescription* font, int width, int height) {
    // A margin of a pixel or more on either side, so antialiased edges are not cut.
    const int room = std::max(1, width - 2 * std::max(1, height / 20));
    int pixels = std::max(kSmallestPixels, static_cast<int>(height * kLargestShare));
    PangoRectangle ink{};
    PangoRectangle logical{};
    while (true) {
        pango_font_description_set_absolute_size(font, pixels * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_layout_get_pixel_extents(layout, &ink, &logical);
        const bool fits = ink.width <= room && ink.height <= height;
        if (fits || pixels <= kSmallestPixels) break;
        --pixels;
    }
    if (ink.width > room) {
        pango_layout_set_width(layout, room * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        pango_layout_get_pixel_extents(layout, &ink, &logical);
    }
    return ink;
}

// Cairo's pixels are native-endian 32-bit words of premultiplied A, R, G, B.
void copyUnpremultiplied(cairo_surface_t* surface, Picture* picture) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int width = picture->width;
    for (int row = 0; row < picture->height; ++row) {
        const auto* words = reinterpret_cast<const std::uint32_t*>(data + row * stride);
        for (int column = 0; column < width; ++column) {
            const std::uint32_t word = words[column];
            const unsigned alpha = word >> 24;
            std::uint8_t* pixel = &picture->rgba[(static_cast<size_t>(row) * width + column) * 4];
            pixel[3] = static_cast<std::uint8_t>(alpha);
            if (alpha == 0) continue;
            const unsigned channels[3] = {(word >> 16) & 0xff, (word >> 8) & 0xff, word & 0xff};
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<std::uint8_t>(
                    std::min(255u, (channels[c] * 255u + alpha / 2) / alpha));
            }
        }
    }
}

}  // namespace

Picture textPicture(const std::string& text, int width, int height, std::uint32_t rgb) {
    Picture picture;
    if (width <= 0 || height <= 0) return picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);

    std::unique_ptr<cairo_surface_t, SurfaceFreer> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return picture;
    std::unique_ptr<cairo_t, CairoFreer> cairo(cairo_create(surface.get()));
    std::unique_ptr<PangoLayout, ObjectFreer> layout(pango_cairo_create_layout(cairo.get()));
    setFixedFontOptions(layout.get());

    // Titles come from the files' metadata: bytes that are not UTF-8 become U+FFFD here, as
    // Pango would otherwise warn on stderr and draw them as it likes.
    std::unique_ptr<gchar, GlibFreer> valid(
        g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    pango_layout_set_text(layout.get(), valid.get(), -1);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    std::unique_ptr<PangoFontDescription, FontFreer> font(pango_font_description_new());
    pango_font_description_set_family(font.get(), "DejaVu Sans");
    const PangoRectangle ink = fitText(layout.get(), font.get(), width, height);

    // Centred by its ink, so the drawn glyphs, not the line box, sit in the middle.
    const double x = (width - ink.width) / 2.0 - ink.x;
    const double y = (height - ink.height) / 2.0 - ink.y;
    cairo_set_source_rgb(cairo.get(), ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0,
                         (rgb & 0xff) / 255.0);
    cairo_move_to(cairo.get(), std::round(x), std::round(y));
    pango_cairo_show_layout(cairo.get(), layout.get());
    cairo_surface_flush(surface.get());
    copyUnpremultiplied(surface.get(), &picture);
    return picture;
}

}  // namespace merrowcli::import
