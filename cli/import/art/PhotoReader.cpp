#include "cli/import/art/PhotoReader.h"

#include <cstring>
#include <fstream>
#include <new>

#include "cli/import/art/HeifFile.h"
#include "host/pictures/PictureFile.h"

namespace merrowcli::import {

Picture orientPicture(const Picture& stored, int orientation) {
    if (orientation < 2 || orientation > 8) return stored;
    const int w = stored.width;
    const int h = stored.height;
    const bool turned = orientation >= 5;
    Picture shown;
    shown.width = turned ? h : w;
    shown.height = turned ? w : h;
    shown.rgba.resize(stored.rgba.size());
    // For each shown pixel (x, y), the stored pixel it comes from.
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;  // mirrored left to right
                case 3:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;  // half a turn
                case 4:
                    sy = h - 1 - y;
                    break;  // mirrored top to bottom
                case 5:
                    sx = y;
                    sy = x;
                    break;  // transposed
                case 6:
                    sx = y;
                    sy = h - 1 - x;
                    break;  // turned clockwise to show
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;  // transversed
                case 8:
                    sx = w - 1 - y;
                    sy = x;
                    break;  // turned anticlockwise to show
                default:
                    break;
            }
            std::memcpy(&shown.rgba[(static_cast<size_t>(y) * shown.width + x) * 4],
                        &stored.rgba[(static_cast<size_t>(sy) * w + sx) * 4], 4);
        }
    }
    return shown;
}

std::optional<Picture> readPhoto(const std::filesystem::path& file, int orientation,
                                 std::string& error, int atLeastWidth, int atLeastHeight) {
    std::string problem;
    std::string head(12, '\0');
    {
        std::ifstream in(file, std::ios::binary);
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<size_t>(in.gcount()));
    }
    if (looksLikeHeif(head)) {
        // libheif has turned it as the file says; its EXIF orientation is not applied again.
        try {
            if (std::optional<Picture> picture =
                    readHeifPicture(file, &problem, atLeastWidth, atLeastHeight)) {
                return picture;
            }
        } catch (const std::bad_alloc&) {
            problem = "out of memory";
        }
        error = file.string() + ": " + problem;
        return std::nullopt;
    }
    // A photo counts against no pixel budget: the import draws one thumbnail at a time. A JPEG
    // is decoded no larger than needed; a quarter turn swaps the sides it needs.
    const bool turned = orientation >= 5 && orientation <= 8;
    merrowhost::PictureReading reading{true, false};
    reading.atLeastWidth = turned ? atLeastHeight : atLeastWidth;
    reading.atLeastHeight = turned ? atLeastWidth : atLeastHeight;
    Picture picture;
    if (!merrowhost::readRgbaPicture(file.string(), true, reading, &picture, &problem)) {
        error = file.string() + ": " + problem;
        return std::nullopt;
    }
    try {
        return orientPicture(picture, orientation);
    } catch (const std::bad_alloc&) {
        error = file.string() + ": out of memory";
        return std::nullopt;
    }
}

}  // namespace merrowcli::import
