#pragma once
// Collects, while the component runs, the pictures of the reference document that the host
// could not use (missing, not a picture, outside the project folder; the element then shows
// the fallback picture), and writes one warning for each element and picture afterwards.

#include <mutex>
#include <string>
#include <vector>

#include "host/framework/Diagnostics.h"

namespace merrowcli {

class PictureWarnings : public merrowhost::DiagnosticSink {
public:
    void pictureNotUsed(const merrowhost::PictureDiagnostic& diagnostic) noexcept override;

    // One warning per element line and picture, in line order: "FILE:LINE: warning: <NAME
    // id="ID">: picture "PATH": PROBLEM; the fallback picture is shown". A picture the host
    // reported without an element (one the component loads as a file, such as a grid's
    // background) is placed at every element of the reference document (domId) that names it
    // and has no report of its own, "...: PROBLEM; it is not used"; without such an element it
    // is not reported (the component's own template pictures). Those of other documents carry no
    // place.
    void write(unsigned domId, const std::string& shown) const;
    size_t size() const;

private:
    mutable std::mutex mutex_;
    std::vector<merrowhost::PictureDiagnostic> found_;
};

}  // namespace merrowcli
