#pragma once
// What the host tells the program that runs it about input it could not use while serving the
// component: today a picture file that is missing, not a picture, or outside the project folder.
// The picture loader reports every such file without knowing who asked for it (domId 0); the
// renderer of elements reports it again with the element (the component then shows its fallback
// picture). The program registers a sink
// for the time of a request; without one nothing is reported. The host never decides how a
// diagnostic is shown.

#include <string>

namespace merrowhost {

struct PictureDiagnostic {
    unsigned domId = 0;     // the document of the element; 0 when no element is known
    int line = 0;           // the element's line in it (0 when unknown)
    std::string element;    // the element's name
    std::string elementId;  // its id attribute
    std::string picture;    // the picture path as the document names it
    std::string problem;    // why it could not be used
};

class DiagnosticSink {
public:
    virtual ~DiagnosticSink() = default;
    // Called on the thread that hit the problem; must not throw.
    virtual void pictureNotUsed(const PictureDiagnostic& diagnostic) noexcept = 0;
};

// Registers sink (null: none) and returns the one registered before.
DiagnosticSink* setDiagnosticSink(DiagnosticSink* sink);
// Hands the diagnostic to the registered sink, if any.
void reportPictureNotUsed(const PictureDiagnostic& diagnostic) noexcept;

// Registers a sink while alive, then puts the earlier one back.
class ScopedDiagnosticSink {
public:
    explicit ScopedDiagnosticSink(DiagnosticSink* sink) : previous_(setDiagnosticSink(sink)) {}
    ~ScopedDiagnosticSink() { setDiagnosticSink(previous_); }
    ScopedDiagnosticSink(const ScopedDiagnosticSink&) = delete;
    ScopedDiagnosticSink& operator=(const ScopedDiagnosticSink&) = delete;

private:
    DiagnosticSink* previous_;
};

}  // namespace merrowhost
