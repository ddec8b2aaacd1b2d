#include "SrcEdit/Source/text/SrcEditTypes.h"
#include <gtest/gtest.h>
TEST(BufferCoord, ComparesByValue) { EXPECT_EQ(MakeBufferCoord(2, 3), (TBufferCoord{2, 3})); }
