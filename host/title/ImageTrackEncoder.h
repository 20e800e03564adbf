#pragma once
// Encodes the pictures of image tracks as PNG files in memory on a few worker threads, so that a
// track can let its raw pixels go as soon as it is registered. The caller's thread only hands
// the pixels over; the conversion to R, G, B, A, the encoding and the search for an identical
// picture encoded before run on the workers. Identical pictures (the same size and the same
// pixels: a hash finds the candidates, the pixels are compared in full) share one encoding. The
// bytes of an encoding depend only on the picture, so the output does not depend on the number
// of workers or on the order in which they finish. An encoder made while a TrackSpoolScope is
// open writes each encoding into its spool folder as it finishes and keeps only the file.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "host/framework/WorkerPool.h"
#include "host/title/TrackSpool.h"

namespace merrowhost {

// The pixels of a track as it was given them (see ImageTrackObject), owned.
struct RawTrackPicture {
    int mode = -1;
    std::unique_ptr<uint8_t[]> first;
    std::unique_ptr<uint8_t[]> second;
    int width = 0;
    int height = 0;

    // The picture as top-down R, G, B, A bytes (see ImageTrackObject::rgba); empty when it
    // cannot be read.
    std::vector<uint8_t> rgba() const;
};

// One picture's encoding, filled on a worker and read on any thread.
class EncodedPicture {
public:
    // Waits until the encoding is done; then png() holds the file's bytes (read back from the
    // spool when it was spooled), or is null with error() the reason.
    void wait() const;
    std::shared_ptr<const std::vector<uint8_t>> png() const;
    std::string error() const;
    // The spooled file of the encoding (waiting for it); null when it is held in memory or
    // failed.
    std::shared_ptr<SpooledFile> spooled() const;

    void finish(std::shared_ptr<const std::vector<uint8_t>> png, std::string error);
    void finishSpooled(std::shared_ptr<SpooledFile> file);
    bool done() const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable finished_;
    bool done_ = false;
    std::shared_ptr<const std::vector<uint8_t>> png_;
    std::shared_ptr<SpooledFile> file_;
    mutable std::string error_;
};

class ImageTrackEncoder {
public:
    // Raw pixels waiting for a worker are bounded: submit waits while more than this many bytes
    // are queued.
    static constexpr size_t kQueuedBytes = size_t{48} << 20;
    // The pixels of the latest distinct pictures are kept up to this many bytes: a picture met
    // again soon is compared with them instead of with its decoded encoding.
    static constexpr size_t kRecentBytes = size_t{16} << 20;

    explicit ImageTrackEncoder(int workers = configuredWorkerCount());
    // Finishes every encoding submitted, then stops the workers.
    ~ImageTrackEncoder();
    ImageTrackEncoder(const ImageTrackEncoder&) = delete;
    ImageTrackEncoder& operator=(const ImageTrackEncoder&) = delete;

    // Takes the pixels and queues their encoding. Never throws: when memory runs out the
    // encoding is done at once on the caller's thread.
    std::shared_ptr<EncodedPicture> submit(RawTrackPicture raw);

    // Pictures encoded, and pictures that were found identical to one encoded before.
    int encodedCount() const;
    int sharedCount() const;
    int workers() const { return pool_.workers(); }
    // Waits until every encoding submitted so far is finished (and, spooled, written).
    void drain() const;
    // The spool this encoder writes into; null when it keeps its encodings in memory.
    const std::shared_ptr<TrackSpool>& spool() const { return spool_; }

private:
    using Key = std::tuple<int, int, uint64_t>;  // width, height, hash of the pixels
    using Bytes = std::shared_ptr<const std::vector<uint8_t>>;

    struct Encoding {
        Bytes png;                                       // in memory, or
        std::shared_ptr<SpooledFile> file;               // spooled
        std::weak_ptr<const std::vector<uint8_t>> rgba;  // while it is among the recent ones
    };

    void process(RawTrackPicture& raw, EncodedPicture& result);

    mutable std::mutex mutex_;
    mutable std::condition_variable drained_;
    size_t queuedBytes_ = 0;
    size_t pending_ = 0;  // submitted, not finished
    std::shared_ptr<TrackSpool> spool_;
    int encoded_ = 0;
    int shared_ = 0;
    std::map<Key, std::vector<Encoding>> seen_;
    std::deque<Bytes> recent_;  // oldest first
    size_t recentBytes_ = 0;
    // Last, so that the workers are joined before anything they use goes away.
    WorkerPool pool_;
};

}  // namespace merrowhost
