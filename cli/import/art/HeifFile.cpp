#include "cli/import/art/HeifFile.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "host/pictures/ImageLimits.h"

namespace merrowcli::import {

namespace {

struct ContextFreer {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleFreer {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageFreer {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextFreer>;
using Handle = std::unique_ptr<heif_image_handle, HandleFreer>;
using Image = std::unique_ptr<heif_image, ImageFreer>;

bool failed(const heif_error& error, std::string* problem) {
    if (error.code == heif_error_Ok) return false;
    *problem = error.message != nullptr && *error.message != 0 ? error.message : "not a HEIF file";
    return true;
}

// The file's primary image.
Handle openPrimary(const std::filesystem::path& file, Context* context, std::string* problem) {
    context->reset(heif_context_alloc());
    if (!*context) {
        *problem = "out of memory";
        return nullptr;
    }
    if (failed(heif_context_read_from_file(context->get(), file.c_str(), nullptr), problem)) {
        return nullptr;
    }
    heif_image_handle* handle = nullptr;
    if (failed(heif_context_get_primary_image_handle(context->get(), &handle), problem)) {
        return nullptr;
    }
    return Handle(handle);
}

}  // namespace

bool looksLikeHeif(const std::string& firstBytes) {
    if (firstBytes.size() < 12 || firstBytes.compare(4, 4, "ftyp") != 0) return false;
    const std::string brand = firstBytes.substr(8, 4);
    for (const char* known : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"}) {
        if (brand == known) return true;
    }
    return false;
}

std::optional<std::string> readHeifExif(const std::filesystem::path& file, std::string* problem) {
    Context context;
    const Handle handle = openPrimary(file, &context, problem);
    if (!handle) return std::nullopt;
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle.get(), "Exif", &id, 1) < 1) {
        return std::string();
    }
    const size_t size = heif_image_handle_get_metadata_size(handle.get(), id);
    std::string block(size, '\0');
    if (failed(heif_image_handle_get_metadata(handle.get(), id, block.data()), problem)) {
        return std::nullopt;
    }
    // The block starts with the offset (4 bytes, big-endian) from its end to the TIFF header.
    if (block.size() < 4) return std::string();
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
    const size_t offset = (static_cast<size_t>(bytes[0]) << 24) | (bytes[1] << 16) |
                          (bytes[2] << 8) | static_cast<size_t>(bytes[3]);
    if (offset > block.size() - 4) return std::string();
    return block.substr(4 + offset);
}

std::optional<Picture> readHeifPicture(const std::filesystem::path& file, std::string* problem,
                                       int atLeastWidth, int atLeastHeight) {
    Context context;
    const Handle handle = openPrimary(file, &context, problem);
    if (!handle) return std::nullopt;
    const int storedWidth = heif_image_handle_get_width(handle.get());
    const int storedHeight = heif_image_handle_get_height(handle.get());
    if (!merrowhost::imageSizeAllowed(storedWidth, storedHeight)) {
        *problem = "picture size out of range";
        return std::nullopt;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    heif_image* decoded = nullptr;
    // Without options libheif applies the file's transformations (crop, rotation, mirror).
    if (failed(heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                                 alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                 nullptr),
               problem)) {
        return std::nullopt;
    }
    Image image(decoded);
    // libheif decodes the whole picture; its scaler (nearest neighbour) then halves it while it
    // still gives what is asked, so that less is copied, turned and filtered.
    const int fullWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int fullHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (atLeastWidth > 0 || atLeastHeight > 0) {
        for (const int denominator : {8, 4, 2}) {
            const int width = (fullWidth + denominator - 1) / denominator;
            const int height = (fullHeight + denominator - 1) / denominator;
            if (width < std::max(atLeastWidth, 1) || height < std::max(atLeastHeight, 1)) continue;
            heif_image* scaled = nullptr;
            if (heif_image_scale_image(image.get(), &scaled, width, height, nullptr).code ==
                heif_error_Ok) {
                image.reset(scaled);
            }
            break;
        }
    }
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (plane == nullptr || width <= 0 || height <= 0) {
        *problem = "no picture could be decoded";
        return std::nullopt;
    }
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    const int channels = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = plane + static_cast<size_t>(y) * stride;
        std::uint8_t* out = &picture.rgba[static_cast<size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x, row += channels, out += 4) {
            std::memcpy(out, row, 3);
            out[3] = alpha ? row[3] : 0xff;
        }
    }
    return picture;
}

}  // namespace merrowcli::import
