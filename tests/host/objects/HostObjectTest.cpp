// The host object base: identifiers and interface queries.

#include <gtest/gtest.h>

#include "host/objects/HostObject.h"

namespace {

constexpr GUID kPaintInterface = {0x51e0c003, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
constexpr GUID kOtherInterface = {0x51e0c003, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};

class Paint {
public:
    int colour = 7;
};

class Canvas : public merrowhost::HostObject {
public:
    const char* classPrefix() const override { return "canvas"; }
    void* queryInterface(const GUID& interfaceId) override {
        return interfaceId == kPaintInterface ? &paint : nullptr;
    }
    Paint paint;
};

class Odd : public merrowhost::HostObject {
public:
    const char* classPrefix() const override { return "my class/1"; }
};

}  // namespace

TEST(HostObject, QueryAnswersFromQueryInterface) {
    Canvas canvas;
    void* out = nullptr;
    CzfErrorInfo error;
    ASSERT_TRUE(canvas.zfQueryService(&kPaintInterface, &out, &error));
    EXPECT_EQ(out, &canvas.paint);
    EXPECT_EQ(zfQuery<Paint>(&canvas, kPaintInterface, nullptr)->colour, 7);

    out = &canvas;
    EXPECT_FALSE(canvas.zfQueryService(&kOtherInterface, &out, &error));
    EXPECT_EQ(out, nullptr);
    out = &canvas;
    EXPECT_FALSE(canvas.zfQueryService(nullptr, &out, nullptr));
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(canvas.zfQueryService(&kPaintInterface, nullptr, nullptr));
    EXPECT_EQ(zfQuery<Paint>(nullptr, kPaintInterface, nullptr), nullptr);
}

TEST(HostObject, SerialsGrowBeyondFourDigits) {
    merrowhost::resetObjectSerials();
    while (merrowhost::nextObjectSerial("canvas") < 12345) {
    }
    Canvas later;
    EXPECT_EQ(later.objectId(), "canvas_12346");
}

TEST(HostObject, ResetRestartsCountsButKeepsSerialsAlreadyGiven) {
    merrowhost::resetObjectSerials();
    Canvas kept;
    EXPECT_EQ(kept.objectId(), "canvas_0001");
    Canvas other;
    EXPECT_EQ(other.serial(), 2u);
    merrowhost::resetObjectSerials();
    EXPECT_EQ(kept.objectId(), "canvas_0001");
    Canvas fresh;
    EXPECT_EQ(fresh.objectId(), "canvas_0001");
    // Characters unfit for file names do not reach the identifier.
    Odd odd;
    EXPECT_EQ(odd.objectId(), "my_class_1_0001");
}
