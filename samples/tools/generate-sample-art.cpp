// Draws the pictures of the sample calendar project and of the shipped template folder.
//
//   generate-sample-art SAMPLES_DIR
//
// writes SAMPLES_DIR/calendar/art/*.png and, under SAMPLES_DIR/templates/Content/Menu Template/
// HD Popup/16x9/BD Calendar/, "Numbers_S1.png" and "Background.jpg". Every picture is drawn
// here from shapes and a small built-in pixel font; the same program gives the same bytes on
// every run (no clocks, no random numbers beyond a fixed-seed generator, no metadata chunks).

// jpeglib.h needs size_t and FILE declared before it; the include sorter must not move it up.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Colour {
    double r, g, b, a;
};

Colour rgb(int r, int g, int b, int a = 255) {
    return Colour{r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

Colour mix(const Colour& x, const Colour& y, double t) {
    return Colour{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
                  x.a + (y.a - x.a) * t};
}

// Fixed-seed generator: the same sequence on every machine.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0;
    }

private:
    uint32_t state_;
};

// 5 x 7 pixel font: each glyph is seven rows of five bits, the high bit on the left.
const std::array<uint8_t, 7>* glyph(char c) {
    struct Entry {
        char c;
        std::array<uint8_t, 7> rows;
    };
    static const Entry kFont[] = {
        {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
        {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
        {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
        {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
        {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
        {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
        {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
        {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
        {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
        {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
        {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
        {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
        {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
        {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
        {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
        {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
        {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
        {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
        {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
        {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
        {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
        {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
        {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
        {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
        {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
        {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
        {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
        {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
        {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    };
    for (const Entry& entry : kFont) {
        if (entry.c == c) return &entry.rows;
    }
    throw std::runtime_error(std::string("no glyph for '") + c + "'");
}

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), pixels_(width * height) {
        std::fill(pixels_.begin(), pixels_.end(), Colour{0, 0, 0, 0});
    }

    int width() const { return width_; }
    int height() const { return height_; }

    // Source-over blend of colour with the given coverage.
    void blend(int x, int y, const Colour& c, double coverage) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
        Colour& d = pixels_[y * width_ + x];
        const double a = c.a * std::min(coverage, 1.0);
        const double outA = a + d.a * (1 - a);
        if (outA <= 0) {
            d = Colour{0, 0, 0, 0};
            return;
        }
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }

    // Fills the shape given by inside(x, y) within the box, four by four samples per pixel.
    void fillShape(double x0, double y0, double x1, double y1,
                   const std::function<bool(double, double)>& inside,
                   const std::function<Colour(double, double)>& paint) {
        const int px0 = std::max(0, static_cast<int>(std::floor(x0)));
        const int py0 = std::max(0, static_cast<int>(std::floor(y0)));
        const int px1 = std::min(width_, static_cast<int>(std::ceil(x1)));
        const int py1 = std::min(height_, static_cast<int>(std::ceil(y1)));
        for (int y = py0; y < py1; ++y) {
            for (int x = px0; x < px1; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy) {
                    for (int sx = 0; sx < 4; ++sx) {
                        if (inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++hits;
                    }
                }
                if (hits > 0) blend(x, y, paint(x + 0.5, y + 0.5), hits / 16.0);
            }
        }
    }

    void fill(const Colour& c) { fillRect(0, 0, width_, height_, c); }

    void fillRect(double x, double y, double w, double h, const Colour& c) {
        fillShape(
            x, y, x + w, y + h,
            [&](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; },
            [&](double, double) { return c; });
    }

    void verticalGradient(double x, double y, double w, double h, const Colour& top,
                          const Colour& bottom) {
        fillShape(
            x, y, x + w, y + h,
            [&](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; },
            [&](double, double py) {
                return mix(top, bottom, std::clamp((py - y) / h, 0.0, 1.0));
            });
    }

    static bool inRoundRect(double px, double py, double x, double y, double w, double h,
                            double r) {
        if (px < x || py < y || px >= x + w || py >= y + h) return false;
        const double cx = std::clamp(px, x + r, x + w - r);
        const double cy = std::clamp(py, y + r, y + h - r);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
    }

    void fillRoundRect(double x, double y, double w, double h, double r, const Colour& c) {
        fillShape(
            x, y, x + w, y + h,
            [&](double px, double py) { return inRoundRect(px, py, x, y, w, h, r); },
            [&](double, double) { return c; });
    }

    // A ring of the given thickness just inside the rounded rectangle.
    void strokeRoundRect(double x, double y, double w, double h, double r, double t,
                         const Colour& c) {
        fillShape(
            x, y, x + w, y + h,
            [&](double px, double py) {
                return inRoundRect(px, py, x, y, w, h, r) &&
                       !inRoundRect(px, py, x + t, y + t, w - 2 * t, h - 2 * t,
                                    std::max(0.0, r - t));
            },
            [&](double, double) { return c; });
    }

    void fillCircle(double cx, double cy, double radius, const Colour& c) {
        fillShape(
            cx - radius, cy - radius, cx + radius, cy + radius,
            [&](double px, double py) {
                return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
            },
            [&](double, double) { return c; });
    }

    void fillTriangle(double ax, double ay, double bx, double by, double cx, double cy,
                      const Colour& c) {
        auto edge = [](double x0, double y0, double x1, double y1, double px, double py) {
            return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
        };
        fillShape(
            std::min({ax, bx, cx}), std::min({ay, by, cy}), std::max({ax, bx, cx}),
            std::max({ay, by, cy}),
            [&](double px, double py) {
                const double e0 = edge(ax, ay, bx, by, px, py);
                const double e1 = edge(bx, by, cx, cy, px, py);
                const double e2 = edge(cx, cy, ax, ay, px, py);
                return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
            },
            [&](double, double) { return c; });
    }

    // The region below the curve y = base + amplitude * sin(frequency * x + phase).
    void fillHill(double base, double amplitude, double frequency, double phase, const Colour& c) {
        fillShape(
            0, base - std::abs(amplitude), width_, height_,
            [&](double px, double py) {
                return py >= base + amplitude * std::sin(frequency * px + phase);
            },
            [&](double, double) { return c; });
    }

    // Text in the pixel font, each font pixel a square of `scale` pixels.
    static double textWidth(const std::string& text, double scale) {
        return text.empty() ? 0 : (text.size() * 6 - 1) * scale;
    }

    void drawText(const std::string& text, double x, double y, double scale, const Colour& c) {
        const double w = textWidth(text, scale);
        const double h = 7 * scale;
        fillShape(
            x, y, x + w, y + h,
            [&](double px, double py) {
                const int cell = static_cast<int>((px - x) / scale);
                const int index = cell / 6;
                const int column = cell % 6;
                const int row = static_cast<int>((py - y) / scale);
                if (index < 0 || index >= static_cast<int>(text.size()) || column >= 5 || row < 0 ||
                    row >= 7) {
                    return false;
                }
                return ((*glyph(text[index]))[row] >> (4 - column) & 1) != 0;
            },
            [&](double, double) { return c; });
    }

    // Text with a soft dark outline, centred in the box.
    void drawLabel(const std::string& text, double x, double y, double w, double h, double scale,
                   const Colour& c) {
        const double tx = x + (w - textWidth(text, scale)) / 2;
        const double ty = y + (h - 7 * scale) / 2;
        const Colour shadow = rgb(0, 0, 0, 150);
        const double o = std::max(1.0, scale / 3);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx != 0 || dy != 0) drawText(text, tx + dx * o, ty + dy * o, scale, shadow);
            }
        }
        drawText(text, tx, ty, scale, c);
    }

    // Focus picture: the same picture, a little brighter, in a bright frame.
    Canvas highlighted() const {
        Canvas out = *this;
        for (Colour& p : out.pixels_) {
            p.r = std::min(1.0, p.r * 1.12 + 0.04);
            p.g = std::min(1.0, p.g * 1.12 + 0.04);
            p.b = std::min(1.0, p.b * 1.12 + 0.04);
        }
        const double t = std::max(3.0, std::min(width_, height_) / 24.0);
        out.strokeRoundRect(0, 0, width_, height_, t * 1.5, t, rgb(255, 214, 64));
        return out;
    }

    void savePng(const fs::path& path) const {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            std::fclose(file);
            throw std::runtime_error("libpng failed on " + path.string());
        }
        png_init_io(png, file);
        png_set_compression_level(png, 9);
        png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<uint8_t> row(width_ * 4);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const Colour& p = pixels_[y * width_ + x];
                row[x * 4 + 0] = toByte(p.r);
                row[x * 4 + 1] = toByte(p.g);
                row[x * 4 + 2] = toByte(p.b);
                row[x * 4 + 3] = toByte(p.a);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path.string());
    }

    // Opaque: transparent pixels are laid over black.
    void saveJpeg(const fs::path& path, int quality) const {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr jerr{};
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_compress(&cinfo);
        jpeg_stdio_dest(&cinfo, file);
        cinfo.image_width = width_;
        cinfo.image_height = height_;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        std::vector<uint8_t> row(width_ * 3);
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const Colour& p = pixels_[y * width_ + x];
                row[x * 3 + 0] = toByte(p.r * p.a);
                row[x * 3 + 1] = toByte(p.g * p.a);
                row[x * 3 + 2] = toByte(p.b * p.a);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path.string());
    }

private:
    static uint8_t toByte(double v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    }

    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// ---- layout pieces -------------------------------------------------------------------------

Canvas panel(int w, int h, const std::string& heading) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, 28, rgb(14, 22, 46, 215));
    c.strokeRoundRect(0, 0, w, h, 28, 3, rgb(255, 255, 255, 90));
    c.fillRect(32, 70, w - 64, 2, rgb(255, 255, 255, 60));
    c.drawText(heading, 40, 22, 5, rgb(236, 240, 255));
    return c;
}

Canvas rail(int w, int h) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, h / 2.0, rgb(200, 210, 235, 120));
    return c;
}

Canvas arrowButton(int size, bool next, bool focus) {
    Canvas c(size, size);
    const double r = size / 2.0;
    c.fillCircle(r, r, r - 1, focus ? rgb(255, 214, 64) : rgb(40, 56, 100, 230));
    c.fillCircle(r, r, r - 5, focus ? rgb(70, 96, 170) : rgb(28, 40, 78, 230));
    const double s = size * 0.22;
    const Colour arrow = rgb(240, 244, 255);
    if (next) {
        c.fillTriangle(r - s * 0.7, r - s, r - s * 0.7, r + s, r + s, r, arrow);
    } else {
        c.fillTriangle(r + s * 0.7, r - s, r + s * 0.7, r + s, r - s, r, arrow);
    }
    return c;
}

Canvas pillButton(int w, int h, const std::string& label, bool focus) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, h / 2.0, focus ? rgb(255, 214, 64) : rgb(40, 56, 100, 230));
    c.fillRoundRect(3, 3, w - 6, h - 6, h / 2.0 - 3,
                    focus ? rgb(70, 96, 170) : rgb(28, 40, 78, 230));
    c.drawLabel(label, 0, 0, w, h, 3, rgb(240, 244, 255));
    return c;
}

// The faint cell pattern of a grid container.
Canvas gridBackground(int w, int h, int cols, int rows, int cellW, int cellH, int hGap, int vGap,
                      int margin) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, 14, rgb(255, 255, 255, 18));
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const double x = margin + col * (cellW + hGap);
            const double y = margin + row * (cellH + vGap);
            c.fillRoundRect(x, y, cellW, cellH, 10, rgb(255, 255, 255, 22));
        }
    }
    return c;
}

Canvas cell(int w, int h, bool focus) {
    Canvas c(w, h);
    if (focus) {
        c.fillRoundRect(0, 0, w, h, 10, rgb(255, 214, 64, 60));
        c.strokeRoundRect(0, 0, w, h, 10, 5, rgb(255, 214, 64));
    } else {
        c.strokeRoundRect(0, 0, w, h, 10, 2, rgb(255, 255, 255, 110));
    }
    return c;
}

Canvas titleMark(int size) {
    Canvas c(size, size);
    c.fillRoundRect(0, 0, size, size, size / 5.0, rgb(220, 70, 60));
    const double m = size * 0.3;
    c.fillTriangle(m, m * 0.8, m, size - m * 0.8, size - m * 0.8, size / 2.0, rgb(255, 255, 255));
    return c;
}

// Three frames of a film strip: the mark of a scene.
Canvas sceneMark(int size) {
    Canvas c(size, size);
    c.fillRoundRect(0, 0, size, size, size / 5.0, rgb(90, 170, 90));
    const double frame = size * 0.2;
    for (int i = 0; i < 3; ++i) {
        c.fillRect(size * 0.14 + i * size * 0.26, size * 0.3, frame, size * 0.4,
                   rgb(255, 255, 255));
    }
    return c;
}

// A caption: a word on a quiet band.
Canvas caption(int w, int h, const std::string& text, double scale) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, h / 2.0, rgb(255, 255, 255, 28));
    c.drawLabel(text, 0, 0, w, h, scale, rgb(236, 240, 255));
    return c;
}

Canvas photoMark(int size) {
    Canvas c(size, size);
    c.fillRoundRect(0, 0, size, size, size / 5.0, rgb(60, 150, 220));
    c.fillCircle(size * 0.68, size * 0.32, size * 0.12, rgb(255, 230, 120));
    c.fillTriangle(size * 0.12, size * 0.85, size * 0.42, size * 0.4, size * 0.72, size * 0.85,
                   rgb(255, 255, 255));
    return c;
}

// A design-time placeholder: a dashed frame with a word in it.
Canvas placeholder(int w, int h, const std::string& word, double scale, bool focus) {
    Canvas c(w, h);
    c.fillRoundRect(0, 0, w, h, 8, rgb(255, 255, 255, focus ? 70 : 30));
    const Colour line = focus ? rgb(255, 214, 64) : rgb(255, 255, 255, 150);
    const double t = focus ? 5 : 2;
    for (double x = 8; x < w - 8; x += 16) {
        c.fillRect(x, 0, 8, t, line);
        c.fillRect(x, h - t, 8, t, line);
    }
    for (double y = 8; y < h - 8; y += 16) {
        c.fillRect(0, y, t, 8, line);
        c.fillRect(w - t, y, t, 8, line);
    }
    c.drawLabel(word, 0, 0, w, h, scale, rgb(255, 255, 255, 200));
    return c;
}

Canvas textPicture(int w, int h, const std::string& text, double scale) {
    Canvas c(w, h);
    c.drawLabel(text, 0, 0, w, h, scale, rgb(250, 250, 255));
    return c;
}

// ---- photographs and title frames ----------------------------------------------------------

struct Scene {
    Colour skyTop, skyBottom;
    Colour sun;
    double sunX, sunY, sunR;
    struct Hill {
        double base, amplitude, frequency, phase;
        Colour colour;
    };
    std::vector<Hill> hills;
    int stars = 0;
    int bursts = 0;
    int buildings = 0;
    int flowers = 0;
    int trees = 0;
    uint32_t seed = 1;
};

Canvas photo(int w, int h, const Scene& s) {
    Canvas c(w, h);
    Lcg random(s.seed);
    c.verticalGradient(0, 0, w, h, s.skyTop, s.skyBottom);
    for (int i = 0; i < s.stars; ++i) {
        c.fillCircle(random.next() * w, random.next() * h * 0.55, 0.6 + random.next() * 0.8,
                     rgb(255, 255, 240, 220));
    }
    for (int i = 0; i < s.bursts; ++i) {
        const double cx = w * (0.2 + 0.6 * random.next());
        const double cy = h * (0.15 + 0.3 * random.next());
        const double radius = h * (0.12 + 0.1 * random.next());
        const Colour colour = rgb(150 + static_cast<int>(random.next() * 105),
                                  80 + static_cast<int>(random.next() * 175),
                                  80 + static_cast<int>(random.next() * 175));
        for (int ray = 0; ray < 16; ++ray) {
            const double angle = ray * 3.14159265358979 / 8;
            for (int step = 2; step <= 7; ++step) {
                c.fillCircle(cx + std::cos(angle) * radius * step / 7,
                             cy + std::sin(angle) * radius * step / 7, 1.4, colour);
            }
        }
    }
    if (s.sunR > 0) c.fillCircle(w * s.sunX, h * s.sunY, h * s.sunR, s.sun);
    for (int i = 0; i < s.buildings; ++i) {
        const double bw = w / (s.buildings + 1.0);
        const double bh = h * (0.25 + 0.3 * random.next());
        const double bx = i * bw * 1.05;
        c.fillRect(bx, h * 0.8 - bh, bw * 0.9, bh + h * 0.2, rgb(30, 34, 52));
        for (double wy = h * 0.8 - bh + 6; wy < h * 0.78; wy += 9) {
            for (double wx = bx + 4; wx < bx + bw * 0.9 - 6; wx += 8) {
                if (random.next() < 0.45) c.fillRect(wx, wy, 4, 4, rgb(255, 220, 130, 230));
            }
        }
    }
    for (const Scene::Hill& hill : s.hills) {
        c.fillHill(h * hill.base, h * hill.amplitude, hill.frequency / w, hill.phase, hill.colour);
    }
    for (int i = 0; i < s.trees; ++i) {
        const double tx = w * (0.08 + 0.84 * random.next());
        const double ty = h * (0.62 + 0.2 * random.next());
        const double th = h * (0.16 + 0.08 * random.next());
        c.fillRect(tx - 1.5, ty - 2, 3, th * 0.3, rgb(70, 45, 30));
        c.fillTriangle(
            tx, ty - th, tx - th * 0.35, ty, tx + th * 0.35, ty,
            mix(s.hills.empty() ? rgb(40, 90, 50) : s.hills.back().colour, rgb(20, 60, 30), 0.6));
    }
    for (int i = 0; i < s.flowers; ++i) {
        const double fx = random.next() * w;
        const double fy = h * (0.72 + 0.26 * random.next());
        const Colour colour = random.next() < 0.5 ? rgb(250, 120, 160) : rgb(255, 230, 90);
        c.fillCircle(fx, fy, 1.6 + random.next() * 1.6, colour);
    }
    return c;
}

Canvas filmFrame(int w, int h, int number, const Colour& tint) {
    Canvas c(w, h);
    c.fill(rgb(18, 18, 22));
    c.verticalGradient(0, h * 0.16, w, h * 0.68, mix(tint, rgb(255, 255, 255), 0.25),
                       mix(tint, rgb(0, 0, 0), 0.35));
    for (double x = 8; x < w - 8; x += 22) {
        c.fillRoundRect(x, h * 0.04, 12, h * 0.08, 2, rgb(230, 230, 230));
        c.fillRoundRect(x, h * 0.88, 12, h * 0.08, 2, rgb(230, 230, 230));
    }
    c.drawLabel("TITLE " + std::to_string(number), 0, h * 0.16, w, h * 0.68, 5, rgb(255, 255, 255));
    return c;
}

Canvas chapterFrame(int w, int h, int title, int chapter, const Scene& scene) {
    Canvas c = photo(w, h, scene);
    c.fillRoundRect(8, 8, Canvas::textWidth("T0 CH0", 3) + 16, 7 * 3 + 12, 6, rgb(0, 0, 0, 140));
    c.drawText("T" + std::to_string(title) + " CH" + std::to_string(chapter), 16, 14, 3,
               rgb(255, 255, 255));
    return c;
}

Scene sceneFor(int which) {
    switch (which) {
        case 0:  // autumn walk
            return Scene{
                rgb(120, 170, 220),
                rgb(240, 210, 170),
                rgb(255, 240, 200),
                0.75,
                0.3,
                0.12,
                {{0.6, 0.05, 9, 0.5, rgb(190, 110, 50)}, {0.75, 0.04, 14, 2.0, rgb(150, 80, 40)}},
                0,
                0,
                0,
                0,
                7,
                11};
        case 1:  // lake and mountains
            return Scene{
                rgb(90, 150, 220),
                rgb(200, 225, 245),
                rgb(255, 255, 230),
                0.2,
                0.22,
                0.09,
                {{0.5, 0.14, 11, 1.2, rgb(110, 120, 140)}, {0.7, 0.0, 1, 0, rgb(60, 120, 170)}},
                0,
                0,
                0,
                0,
                0,
                12};
        case 2:  // winter evening
            return Scene{rgb(15, 25, 70),
                         rgb(60, 70, 130),
                         rgb(245, 245, 220),
                         0.8,
                         0.2,
                         0.08,
                         {{0.72, 0.04, 7, 0.3, rgb(235, 240, 250)}},
                         60,
                         0,
                         0,
                         0,
                         5,
                         13};
        case 3:  // fireworks
            return Scene{rgb(5, 5, 20),
                         rgb(30, 20, 60),
                         rgb(0, 0, 0),
                         0,
                         0,
                         0,
                         {{0.85, 0.02, 6, 0.0, rgb(20, 20, 30)}},
                         30,
                         6,
                         6,
                         0,
                         0,
                         14};
        case 4:  // winter sun
            return Scene{rgb(140, 190, 240),
                         rgb(235, 240, 250),
                         rgb(255, 250, 210),
                         0.5,
                         0.35,
                         0.1,
                         {{0.62, 0.06, 8, 1.0, rgb(245, 248, 255)},
                          {0.8, 0.05, 12, 2.5, rgb(225, 232, 245)}},
                         0,
                         0,
                         0,
                         0,
                         4,
                         15};
        case 5:  // rainy city
            return Scene{rgb(80, 90, 110),
                         rgb(150, 160, 175),
                         rgb(0, 0, 0),
                         0,
                         0,
                         0,
                         {{0.9, 0.0, 1, 0, rgb(60, 64, 72)}},
                         0,
                         0,
                         7,
                         0,
                         0,
                         16};
        default:  // spring field
            return Scene{
                rgb(110, 180, 240),
                rgb(220, 240, 255),
                rgb(255, 240, 150),
                0.3,
                0.25,
                0.1,
                {{0.62, 0.05, 6, 0.8, rgb(110, 180, 80)}, {0.78, 0.04, 10, 1.7, rgb(80, 150, 60)}},
                0,
                0,
                0,
                60,
                3,
                static_cast<uint32_t>(17 + which)};
    }
}

// ---- writing --------------------------------------------------------------------------------

int written = 0;

void save(const Canvas& c, const fs::path& path) {
    c.savePng(path);
    ++written;
}

void saveWithFocus(const Canvas& c, const fs::path& folder, const std::string& name) {
    save(c, folder / (name + ".png"));
    save(c.highlighted(), folder / (name + "_hl.png"));
}

void drawCalendarArt(const fs::path& art) {
    fs::create_directories(art);

    save(panel(1600, 420, "YEARS"), art / "panel_year.png");
    save(panel(1600, 420, "MONTHS"), art / "panel_month.png");
    save(panel(1600, 420, "DAYS"), art / "panel_day.png");
    save(panel(1600, 420, "CONTENTS"), art / "panel_content.png");
    save(panel(1600, 340, "CHAPTERS"), art / "panel_chapter.png");
    save(rail(1520, 8), art / "rail.png");

    save(arrowButton(64, false, false), art / "btn_previous.png");
    save(arrowButton(64, false, true), art / "btn_previous_hl.png");
    save(arrowButton(64, true, false), art / "btn_next.png");
    save(arrowButton(64, true, true), art / "btn_next_hl.png");
    save(pillButton(160, 48, "BACK", false), art / "btn_back.png");
    save(pillButton(160, 48, "BACK", true), art / "btn_back_hl.png");
    save(pillButton(200, 48, "PLAY ALL", false), art / "btn_playall.png");
    save(pillButton(200, 48, "PLAY ALL", true), art / "btn_playall_hl.png");

    save(gridBackground(1440, 280, 6, 2, 224, 126, 16, 12, 8), art / "grid_month.png");
    save(gridBackground(1440, 280, 6, 2, 224, 126, 16, 12, 8), art / "grid_day.png");
    save(gridBackground(1216, 352, 4, 2, 288, 162, 16, 12, 8), art / "grid_content.png");
    save(cell(224, 126, false), art / "cell.png");
    save(cell(224, 126, true), art / "cell_hl.png");
    save(titleMark(28), art / "mark_title.png");
    save(photoMark(28), art / "mark_photo.png");
    save(sceneMark(28), art / "mark_scene.png");
    save(caption(600, 48, "CHOOSE A YEAR", 4), art / "caption_year.png");

    save(placeholder(320, 180, "YEAR", 4, false), art / "year_slot.png");
    save(placeholder(320, 180, "YEAR", 4, true), art / "year_slot_hl.png");
    save(placeholder(200, 40, "0000", 3, false), art / "text_slot.png");
    save(placeholder(320, 180, "CHAPTER", 4, false), art / "chapter_slot.png");
    save(placeholder(320, 180, "CHAPTER", 4, true), art / "chapter_slot_hl.png");
    save(placeholder(320, 36, "CHAPTER 0", 3, false), art / "chapter_text_slot.png");

    const char* photos[] = {"photo_2023_11_12", "photo_2023_11_25", "photo_2023_12_24",
                            "photo_2023_12_31", "photo_2024_01_14", "photo_2024_02_29",
                            "photo_2024_03_03"};
    for (int i = 0; i < 7; ++i) saveWithFocus(photo(320, 180, sceneFor(i)), art, photos[i]);

    const Colour tints[] = {rgb(200, 90, 60), rgb(60, 130, 200), rgb(90, 170, 90)};
    for (int t = 1; t <= 3; ++t) {
        saveWithFocus(filmFrame(320, 180, t, tints[t - 1]), art, "title_" + std::to_string(t));
    }
    const int chapters[] = {3, 1, 4};
    for (int t = 1; t <= 3; ++t) {
        for (int ch = 1; ch <= chapters[t - 1]; ++ch) {
            Scene scene = sceneFor((t * 3 + ch) % 7);
            scene.seed = static_cast<uint32_t>(100 + t * 10 + ch);
            saveWithFocus(chapterFrame(320, 180, t, ch, scene), art,
                          "chapter_" + std::to_string(t) + "_" + std::to_string(ch));
        }
    }
    for (int ch = 1; ch <= 4; ++ch) {
        save(textPicture(320, 36, "CHAPTER " + std::to_string(ch), 3),
             art / ("text_chapter_" + std::to_string(ch) + ".png"));
    }
    save(textPicture(200, 40, "2023", 4), art / "text_2023.png");
    save(textPicture(200, 40, "2024", 4), art / "text_2024.png");
}

// Digits 0 to 9 side by side, tiles of 20 x 28.
Canvas numberTiles() {
    Canvas c(200, 28);
    for (int d = 0; d <= 9; ++d) {
        c.drawLabel(std::string(1, static_cast<char>('0' + d)), d * 20, 0, 20, 28, 3,
                    rgb(255, 255, 255));
    }
    return c;
}

Canvas background() {
    Canvas c(1920, 1080);
    c.verticalGradient(0, 0, 1920, 1080, rgb(20, 30, 80), rgb(70, 30, 90));
    Lcg random(2024);
    for (int i = 0; i < 40; ++i) {
        const double radius = 20 + random.next() * 90;
        c.fillCircle(random.next() * 1920, random.next() * 1080, radius,
                     rgb(255, 255, 255, 10 + static_cast<int>(random.next() * 25)));
    }
    // A quiet calendar grid over the whole picture.
    for (int x = 160; x < 1920; x += 160) c.fillRect(x, 0, 2, 1080, rgb(255, 255, 255, 14));
    for (int y = 120; y < 1080; y += 120) c.fillRect(0, y, 1920, 2, rgb(255, 255, 255, 14));
    c.drawLabel("MERROWKIT CALENDAR", 0, 120, 1920, 120, 9, rgb(255, 255, 255, 200));
    return c;
}

void drawTemplates(const fs::path& folder) {
    fs::create_directories(folder);
    save(numberTiles(), folder / "Numbers_S1.png");
    background().saveJpeg(folder / "Background.jpg", 88);
    ++written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate-sample-art SAMPLES_DIR\n");
        return 2;
    }
    try {
        const fs::path samples = argv[1];
        drawCalendarArt(samples / "calendar" / "art");
        drawTemplates(samples / "templates" / "Content" / "Menu Template" / "HD Popup" / "16x9" /
                      "BD Calendar");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "generate-sample-art: %s\n", e.what());
        return 1;
    }
    std::printf("generate-sample-art: %d pictures written\n", written);
    return 0;
}
