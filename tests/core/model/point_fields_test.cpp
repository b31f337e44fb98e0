#include "core/model/point_fields.h"

#include <cstring>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

class PointFields : public ::testing::Test {
protected:
    PointTables t;
    float Set(int field, double typed) { return SetTypedPointField(t, kControl, 1, field, typed); }
};

TEST_F(PointFields, ClampFovAndTimescale) {
    EXPECT_FLOAT_EQ(Set(kFieldFov, 200), 179.99f);
    EXPECT_FLOAT_EQ(Set(kFieldFov, 0), 0.1f);
    EXPECT_FLOAT_EQ(Set(kFieldFov, 75.555), 75.56f);
    EXPECT_FLOAT_EQ(Set(kFieldTs, 0), 0.1f);
    EXPECT_FLOAT_EQ(Set(kFieldTs, 12), 12.0f); // no upper bound
}

TEST_F(PointFields, HideIsZeroOrOne) {
    EXPECT_EQ(Set(kFieldHide, 7), 1.0f);
    EXPECT_EQ(Set(kFieldHide, -0.5), 1.0f);
    EXPECT_EQ(Set(kFieldHide, 0), 0.0f);
}

TEST_F(PointFields, WiggleAmplitudeAndIntervalAreCoupled) {
    EXPECT_EQ(Set(kFieldWgF, 0), 0.0f); // no amplitude: interval stays 0
    EXPECT_FLOAT_EQ(Set(kFieldWgA, 3.5), 3.5f);
    EXPECT_EQ(GetPointField(t, kControl, 1, kFieldWgF), 4.0f); // switched on with a default
    EXPECT_EQ(Set(kFieldWgF, 0), 4.0f);                        // cannot be 0 while wiggling
    EXPECT_EQ(Set(kFieldWgF, -3), 4.0f);
    EXPECT_EQ(Set(kFieldWgF, 2.5), 2.0f); // halves to even
    EXPECT_EQ(Set(kFieldWgF, 3.5), 4.0f);
    EXPECT_EQ(Set(kFieldWgA, -1), 0.0f);
    EXPECT_EQ(GetPointField(t, kControl, 1, kFieldWgF), 4.0f); // kept when switched off
}

TEST_F(PointFields, FovTimescaleHideAlwaysAddressControlPoints) {
    SetPointField(t, kReference, 1, kFieldFov, 45.0f);
    EXPECT_EQ(t.rec[kControl][1].fov, 45.0f);
    EXPECT_EQ(t.rec[kReference][1].fov, 0.0f);
    SetPointField(t, kReference, 1, kFieldPitch, 12.0f);
    EXPECT_EQ(t.rec[kReference][1].pitch, 12.0f);
    EXPECT_EQ(GetPointField(t, kReference, 1, kFieldFov), 45.0f);
}

TEST_F(PointFields, FieldSixteenAndUnknownNumbersHoldNothing) {
    SetPointField(t, kControl, 1, kFieldUnused, 9.0f);
    SetPointField(t, kControl, 1, 0, 9.0f);
    SetPointField(t, kControl, 1, 21, 9.0f);
    for (int f : {0, 16, 21, -1})
        EXPECT_EQ(GetPointField(t, kControl, 1, f), 0.0f) << f;
    const PointRecord empty{};
    EXPECT_EQ(std::memcmp(&t.rec[kControl][1].x, &empty.x, sizeof(float) * 3), 0);
}

TEST_F(PointFields, FixedAxesRoundToIntegersAndTypedValuesToTwoDecimals) {
    SetPointField(t, kControl, 1, kFieldTanAFixed, 2.5f);
    EXPECT_EQ(t.rec[kControl][1].tanA.fixedAxes, 2);
    SetPointField(t, kControl, 1, kFieldTanBFixed, 6.6f);
    EXPECT_EQ(t.rec[kControl][1].tanB.fixedAxes, 7);
    EXPECT_FLOAT_EQ(Set(kFieldX, 12.3456), 12.35f);
    EXPECT_FLOAT_EQ(Set(kFieldX, 0.125), 0.12f);
    EXPECT_FLOAT_EQ(Set(kFieldX, -0.135), -0.14f);
}

} // namespace
} // namespace kestrova
