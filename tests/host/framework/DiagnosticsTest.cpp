// The diagnostic sink: reports reach the registered sink only, and a scoped registration puts
// the earlier sink back.

#include <gtest/gtest.h>

#include <vector>

#include "host/framework/Diagnostics.h"

namespace {

struct Recorder : merrowhost::DiagnosticSink {
    void pictureNotUsed(const merrowhost::PictureDiagnostic& diagnostic) noexcept override {
        pictures.push_back(diagnostic.picture);
    }
    std::vector<std::string> pictures;
};

TEST(Diagnostics, ReportsGoToTheRegisteredSinkOnly) {
    merrowhost::reportPictureNotUsed({0, 1, "icon", "I", "lost.png", "no such file"});
    Recorder outer;
    Recorder inner;
    {
        const merrowhost::ScopedDiagnosticSink first(&outer);
        merrowhost::reportPictureNotUsed({0, 1, "icon", "I", "a.png", "no such file"});
        {
            const merrowhost::ScopedDiagnosticSink second(&inner);
            merrowhost::reportPictureNotUsed({0, 2, "icon", "J", "b.png", "no such file"});
        }
        merrowhost::reportPictureNotUsed({0, 3, "icon", "K", "c.png", "no such file"});
    }
    merrowhost::reportPictureNotUsed({0, 4, "icon", "L", "d.png", "no such file"});
    EXPECT_EQ(outer.pictures, (std::vector<std::string>{"a.png", "c.png"}));
    EXPECT_EQ(inner.pictures, (std::vector<std::string>{"b.png"}));
}

}  // namespace
