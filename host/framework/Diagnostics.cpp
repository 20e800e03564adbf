#include "host/framework/Diagnostics.h"

#include <atomic>

namespace merrowhost {

namespace {

std::atomic<DiagnosticSink*>& registeredSink() {
    static std::atomic<DiagnosticSink*> sink{nullptr};
    return sink;
}

}  // namespace

DiagnosticSink* setDiagnosticSink(DiagnosticSink* sink) {
    return registeredSink().exchange(sink);
}

void reportPictureNotUsed(const PictureDiagnostic& diagnostic) noexcept {
    if (DiagnosticSink* sink = registeredSink().load()) sink->pictureNotUsed(diagnostic);
}

}  // namespace merrowhost
