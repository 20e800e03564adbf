#pragma once
// Decodes picture files ahead of their use, on a thread of its own, into the request's picture
// cache (PictureCache.h), so that the thread that draws the pictures finds them decoded. It is
// only a hint: a file that was not fetched ahead, has changed since or did not fit the cache is
// decoded when it is used, exactly as without it, and the bytes drawn are the same either way.
// Fetching ahead reports nothing and counts nothing against the request's pixel budget (the use
// counts what a decode counts); nothing more is fetched once the budget has been exceeded.
//
// It runs while a PicturePrefetchScope is open (the presentation object holds one for its life,
// inside its picture cache scope). When the last scope closes, the files still queued are
// dropped and the one being decoded is waited for.

#include <string>
#include <vector>

namespace merrowhost {

class PicturePrefetchScope {
public:
    PicturePrefetchScope();
    ~PicturePrefetchScope();
    PicturePrefetchScope(const PicturePrefetchScope&) = delete;
    PicturePrefetchScope& operator=(const PicturePrefetchScope&) = delete;
};

// Queues, in order, the files (paths as CDVDBuf::Create takes them, with their alpha) not
// queued before in this scope. Does nothing outside a scope. Never throws.
void prefetchPictures(const std::vector<std::string>& paths);

// Called before the file is used: a file still waiting in the queue is taken out of it (the
// caller decodes it now), and while the file is being decoded ahead this waits for it.
void awaitPrefetchedPicture(const std::string& path);

// Waits until the thread has decoded every file queued.
void awaitPrefetchQueue();

// Files decoded ahead since the program started.
int picturesPrefetched();

}  // namespace merrowhost
