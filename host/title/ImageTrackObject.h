#pragma once
// The host's image track: a picture (a colour buffer with an optional alpha plane, or a 32-bit
// bitmap with an optional 8-bit mask bitmap), its size, its option and a copy of the project
// record. Created by CzfObjectFactory from kClassImageTrack.
//
// When the track is registered with a presentation, its pixels go to the presentation's
// encoder (encodeWith): from then on the track holds only its PNG encoding, made on a worker.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/objects/ConfigurableHostObject.h"
#include "host/objects/HostInterfaces.h"

namespace merrowhost {

class EncodedPicture;
class ImageTrackEncoder;
class SpooledFile;

class ImageTrackObject : public ConfigurableHostObject,
                         public SzfImageData,
                         public SzfImageProjectRecord,
                         public SzfImageSize,
                         public SzfImageOption {
public:
    // The picture layouts of the image data interface.
    static constexpr int kModeBuffers = 0;
    static constexpr int kModeBitmaps = 1;

    ImageTrackObject();
    ~ImageTrackObject() override;

    const char* classPrefix() const override { return "track"; }

    // Takes both buffers (new[] byte blocks) in every case, freeing those it held before (and
    // an encoding made of them). False for a mode other than 0 or 1, or without a first buffer.
    bool zfSetImageData(int mode, void* first, void* second, int reserved,
                        CzfErrorInfo* error) override;
    // Keeps a copy of the record; null clears it.
    bool zfSetProjectRecord(SAVEDATA* record, CzfErrorInfo* error) override;
    // After encodeWith, the pixels are gone: a different size leaves the track without a
    // picture.
    bool zfSetSize(int width, int height, int reserved, CzfErrorInfo* error) override;
    bool zfSetOption(int option, int reserved, CzfErrorInfo* error) override;

    // What was set, as set. mode() is -1 until image data was given. The buffers are null once
    // the pixels went to an encoder.
    int mode() const { return mode_; }
    const uint8_t* firstBuffer() const { return first_.get(); }
    const uint8_t* secondBuffer() const { return second_.get(); }
    int imageDataReserved() const { return imageDataReserved_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int sizeReserved() const { return sizeReserved_; }
    bool hasSize() const { return sizeSet_; }
    int option() const { return option_; }
    int optionReserved() const { return optionReserved_; }
    bool hasOption() const { return optionSet_; }
    const SAVEDATA* record() const { return record_ ? &*record_ : nullptr; }

    // The picture at the set size as top-down R, G, B, A bytes (width * height * 4). Alpha
    // comes from the alpha buffer or the mask, else 255. Mode 1 reads no further than its
    // bitmaps' headers say they hold: pixels the colour bitmap does not cover are 0, 0, 0, 0,
    // pixels the mask does not cover get alpha 0, and a mask that is not a readable 8-bit
    // bitmap covers nothing. Mode 0 buffers carry no size of their own and are read at the set
    // size. Empty without image data, for a colour bitmap that is not a readable 24- or 32-bit
    // bitmap, or for a size that imageSizeAllowed refuses.
    std::vector<uint8_t> rgba() const;

    // Hands the pixels to the encoder, which encodes them on a worker; the track keeps the
    // encoding only. Nothing happens for a track without a readable picture or one already
    // encoding.
    void encodeWith(ImageTrackEncoder& encoder);
    bool encoding() const { return encoded_ != nullptr; }
    // The picture as a PNG file's bytes: the encoding begun by encodeWith (waiting for it), or
    // made now on the caller's thread. Null with *error set when the track holds no picture or
    // the encoding failed.
    std::shared_ptr<const std::vector<uint8_t>> png(std::string* error) const;
    // The file the encoder spooled the encoding into (waiting for it); null when the encoding
    // is not spooled (png() then has it).
    std::shared_ptr<SpooledFile> spooledPng() const;

protected:
    void* findInterface(const GUID& interfaceId) override;

private:
    int mode_ = -1;
    std::unique_ptr<uint8_t[]> first_;
    std::unique_ptr<uint8_t[]> second_;
    int imageDataReserved_ = 0;
    int width_ = 0;
    int height_ = 0;
    int sizeReserved_ = 0;
    bool sizeSet_ = false;
    int option_ = 0;
    int optionReserved_ = 0;
    bool optionSet_ = false;
    std::optional<SAVEDATA> record_;
    std::shared_ptr<EncodedPicture> encoded_;
};

}  // namespace merrowhost
