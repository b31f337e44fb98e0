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

TEST_F(PointFields, TypedValuesAreRoundedAndClampedByField) {
    const struct {
        int field;
        double typed;
        float stored;
    } cases[] = {
        {kFieldFov, 200, 179.99f},  {kFieldFov, 0, 0.1f},     {kFieldFov, 75.555, 75.56f},
        {kFieldTs, 0, 0.1f},        {kFieldTs, 12, 12.0f}, // no upper bound
        {kFieldHide, 7, 1.0f},      {kFieldHide, -0.5, 1.0f}, {kFieldHide, 0, 0.0f},
        {kFieldX, 12.3456, 12.35f}, {kFieldX, 0.125, 0.12f},  {kFieldX, -0.135, -0.14f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(Set(c.field, c.typed), c.stored) << c.field << " " << c.typed;
}

TEST_F(PointFields, WiggleAmplitudeAndIntervalAreCoupled) {
    EXPECT_EQ(Set(kFieldWgF, 0), 0.0f); // no amplitude: interval stays 0
    EXPECT_FLOAT_EQ(Set(kFieldWgA, 3.5), 3.5f);
    EXPECT_EQ(GetPointField(t, kControl, 1, kFieldWgF), 4.0f); // switched on with a default
    EXPECT_EQ(Set(kFieldWgF, 0), 4.0f);                        // cannot be 0 while wiggling
    EXPECT_EQ(Set(kFieldWgF, 2.5), 2.0f);                      // halves to even
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

TEST_F(PointFields, FixedAxesRoundToIntegers) {
    SetPointField(t, kControl, 1, kFieldTanAFixed, 2.5f);
    SetPointField(t, kControl, 1, kFieldTanBFixed, 6.6f);
    EXPECT_EQ(t.rec[kControl][1].tanA.fixedAxes, 2);
    EXPECT_EQ(t.rec[kControl][1].tanB.fixedAxes, 7);
}

} // namespace
} // namespace kestrova
