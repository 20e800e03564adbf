#include "host/pictures/PictureRows.h"

#include <sys/stat.h>

#include "host/pictures/ImageLimits.h"
#include "host/pictures/PixelBudget.h"

namespace merrowhost {

void setReadMessage(PictureRows* picture, const char* text) {
    std::snprintf(picture->message, sizeof picture->message, "%s",
                  text != nullptr ? text : "unknown error");
}

void setSizeMessage(PictureRows* picture, unsigned long width, unsigned long height) {
    std::snprintf(picture->message, sizeof picture->message,
                  "picture of %lu x %lu pixels is larger than allowed (%d per side, %lld in all)",
                  width, height, kMaxImageSide, static_cast<long long>(kMaxImagePixels));
}

void setImplausibleMessage(PictureRows* picture, unsigned long width, unsigned long height,
                           long long fileBytes) {
    std::snprintf(picture->message, sizeof picture->message,
                  "picture claims %lu x %lu pixels, more than a file of %lld bytes can hold", width,
                  height, fileBytes);
}

void setBudgetMessage(PictureRows* picture) {
    std::snprintf(picture->message, sizeof picture->message,
                  "the pictures of this request take more than %lld bytes of pixels in all",
                  static_cast<long long>(pixelBudgetLimit()));
}

long long regularFileSize(std::FILE* file) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<long long>(info.st_size);
}

bool chargeReadPixels(PictureRows* picture, const PictureReading& reading, int64_t bytes) {
    if (!reading.countPixels) return true;
    if (chargePixelBytes(bytes)) {
        picture->pixelCharge = bytes;
        return true;
    }
    setBudgetMessage(picture);
    return false;
}

}  // namespace merrowhost
