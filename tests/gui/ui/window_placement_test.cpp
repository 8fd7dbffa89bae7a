#include <gtest/gtest.h>

#include "ui/window_placement.h"

namespace zx {
namespace {

TEST(WindowPlacement, keepsItsPointWhereItFitsAndIsMovedWhollyOntoTheScreenElsewhere) {
    struct Case {
        const char* name;
        QRect available;
        QPoint placed;
    };
    // The editor: 715 × 364 at (642, 448).
    const Case cases[] = {
        {"1920 x 1080 with a taskbar", {0, 0, 1920, 1040}, {642, 448}},
        {"exactly its size from the origin", {0, 0, 1357, 812}, {642, 448}},
        {"1024 x 768", {0, 0, 1024, 768}, {309, 404}},
        {"1024 x 768, taskbar at the top", {0, 40, 1024, 728}, {309, 404}},
        {"a second screen to the right", {1920, 0, 1280, 1024}, {1920, 448}},
        {"a second screen to the left", {-1280, 0, 1280, 1024}, {-715, 448}},
        {"a screen smaller than the window", {0, 0, 640, 300}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlaceWindow({642, 448}, {715, 364}, c.available), c.placed);
    }
}

} // namespace
} // namespace zx
