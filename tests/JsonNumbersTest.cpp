// Numbers read from data files must fit what the engine stores them in.

#include <gtest/gtest.h>

#include <optional>

#include "entities/JsonReaders.h"

namespace {

using nlohmann::json;

TEST(JsonNumbersTest, FloatsOutsideTheFloatRangeOrNotNumbersAreRefused) {
    struct Case {
        json value;
        std::optional<float> expected;  // nullopt: refused
    };
    const Case cases[] = {
        {1.5, 1.5f},       {-2, -2.0f}, {3.4e38, 3.4e38f},   {3.5e38, {}},  {-1e300, {}},
        {json("1.5"), {}}, {true, {}},  {json::array(), {}}, {nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.dump());
        if (c.expected) {
            EXPECT_EQ(JsonToFloat(c.value), *c.expected);
        } else {
            EXPECT_THROW(JsonToFloat(c.value), std::exception);
        }
    }
}

TEST(JsonNumbersTest, IntegersOutsideTheIntRangeOrNotNumbersAreRefused) {
    struct Case {
        json value;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {7, 7},
        {-7, -7},
        {2147483647, 2147483647},
        {json(2147483648u), {}},
        {json(-2147483649LL), {}},
        {2.9, 2},
        {1e10, {}},
        {json("7"), {}},
        {false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.dump());
        if (c.expected) {
            EXPECT_EQ(JsonToInt(c.value), *c.expected);
        } else {
            EXPECT_THROW(JsonToInt(c.value), std::exception);
        }
    }
}

}  // namespace
