// Fuzz target: picture decoding. The input is written to a file and loaded as the host loads
// an element's picture (PNG or JPEG, with its alpha plane), then scaled into a rendering.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/FuzzSupport.h"
#include "host/pictures/DibImage.h"
#include "host/pictures/DvdBuf.h"
#include "host/pictures/PictureScaler.h"
#include "host/pictures/PixelBudget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzzsupport::projectFolder() / "picture";
    fuzzsupport::writeBytes(file, data, size);
    merrowhost::startPixelBudget(fuzzsupport::kPixelBudget);
    CDVDBuf colour;
    uint8_t* alpha = nullptr;
    if (!colour.Create(file.c_str(), nullptr, &alpha)) return 0;
    const std::unique_ptr<uint8_t[]> alphaPlane(alpha);
    int width = 0;
    int height = 0;
    colour.GetWHU(&width, &height, nullptr);
    merrowhost::DibHolder image(merrowhost::makeDib32(37, 23));
    merrowhost::DibHolder mask(merrowhost::makeMaskDib8(37, 23));
    if (image && mask) {
        merrowhost::scalePictureToDibs(colour.GetBuffer(), alphaPlane.get(), width, height,
                                       image.get(), mask.get());
    }
    return 0;
}
