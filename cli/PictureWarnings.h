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
    // id="ID">: picture "PATH": PROBLEM; the fallback picture is shown". Those of documents
    // other than domId carry no place.
    void write(unsigned domId, const std::string& shown) const;
    size_t size() const;

private:
    mutable std::mutex mutex_;
    std::vector<merrowhost::PictureDiagnostic> found_;
};

}  // namespace merrowcli
