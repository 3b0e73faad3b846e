// The view as a player meets it in the real game: the world keeps its proportions at any window
// shape (the menu's Start button has a circular collider, whose outline must be as wide as it is
// tall), the pointer lands where it points after a resize, F11 takes the window to the whole
// screen and back, and the first level's spawn shows the level up to every edge of the window.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "support/ChildProcess.h"
#include "support/GameRun.h"
#include "support/Screenshot.h"
#include "support/TraceMessages.h"

namespace {

using namespace std::chrono_literals;

constexpr Rgb kOutlineGreen{0, 255, 0};
constexpr Rgb kVoid{0, 0, 0};
constexpr auto kShotLimit = 20s;
constexpr auto kWindowLimit = 20s;
// The view is 2160 world units high in a window of any shape.
constexpr double kViewHeightUnits = 2160.0;
// The Start button stands at the world's origin, the window's centre; its collider is a circle of
// 0.2 times its larger side (640 units), 256 units across.
constexpr double kButtonRadiusUnits = 128.0;
// Half the Start button's width: its hit area is its rectangle.
constexpr double kButtonHalfWidthUnits = 320.0;
// The private display's screen (PrivateDisplay).
constexpr DisplayWindow::Geometry kScreen{0, 0, 1280, 800};

double PixelsPerUnit(int windowHeight) {
    return windowHeight / kViewHeightUnits;
}

// The outline near the window's centre. The area stops short of the Quit button's outline below
// it, and the pointer is kept out of it.
std::optional<PixelArea> StartButtonOutline(const Screenshot& shot) {
    const int centreX = shot.width() / 2;
    const int centreY = shot.height() / 2;
    const int reach = shot.height() / 10;
    return shot.Extent(kOutlineGreen, {centreX - reach, centreY - reach, centreX + reach + 1,
                                       centreY + reach + 1});
}

// Whether the picture is `width` x `height` and the Start button's outline is drawn at the height
// that window's view gives it: the game has drawn a frame at that size.
bool DrawnAt(const Screenshot& shot, int width, int height) {
    const std::optional<PixelArea> outline = StartButtonOutline(shot);
    const double diameter = 2.0 * kButtonRadiusUnits * PixelsPerUnit(height);
    return shot.width() == width && shot.height() == height && outline &&
           std::abs((outline->y1 - outline->y0) - diameter) <= 2.0;
}

void ExpectRoundOutline(const Screenshot& shot) {
    const std::optional<PixelArea> outline = StartButtonOutline(shot);
    ASSERT_TRUE(outline) << "no outline in a " << shot.width() << " x " << shot.height()
                         << " picture";
    const int width = outline->x1 - outline->x0;
    const int height = outline->y1 - outline->y0;
    EXPECT_NEAR(width, height, 1) << "the circle is drawn " << width << " x " << height;
    EXPECT_NEAR(width, 2.0 * kButtonRadiusUnits * PixelsPerUnit(shot.height()), 2.0);
}

TEST(ViewInGameTest, MenuCircleStaysRoundAndThePointerLandsWhereItPointsAfterAResize) {
    constexpr int kWidth = 1200;
    constexpr int kHeight = 600;
    GameRun run;
    run.CopyShippedTree();
    ASSERT_TRUE(run.StartOn("MenuScene.json")) << run.Errors();
    // The shipped game hides the collider outlines this measures: F4 shows every tool.
    run.PressKey("F4", "TOGGLETOOLS");
    DisplayWindow& window = run.window();
    // Out of the way of both buttons and of the measured area, at either size.
    window.PointAt(60, 560);

    Screenshot shot = window.ShotWhen(
        "1080x720", [](const Screenshot& s) { return DrawnAt(s, 1080, 720); }, kShotLimit);
    ExpectRoundOutline(shot);

    ASSERT_TRUE(window.Resize(kWidth, kHeight));
    shot = window.ShotWhen(
        "1200x600", [&](const Screenshot& s) { return DrawnAt(s, kWidth, kHeight); }, kShotLimit);
    ExpectRoundOutline(shot);

    // The button's hit area is its drawn rectangle, 640 x 240 units: 88.9 x 33.3 pixels either
    // side of its centre at 3.6 units a pixel. 93 pixels across stays clear by this window's rule,
    // but not by a stretched 3840-unit width (3.2 units a pixel: 100 pixels either side).
    struct Case {
        int dx;
        int dy;
        bool hovers;
    };
    const Case cases[] = {{85, 0, true},  {93, 0, false},  {-85, 0, true}, {-93, 0, false},
                          {0, 30, true},  {0, -37, false}, {85, 30, true}};
    const double halfWidthPixels = kButtonHalfWidthUnits * PixelsPerUnit(kHeight);
    ASSERT_GT(halfWidthPixels, 85.0);
    ASSERT_LT(halfWidthPixels, 93.0);
    // B is bound to an input nothing uses: once the game has seen it, it has seen the pointer
    // moved before it, and a button under the pointer has said so.
    const auto seenHere = [&](int x, int y) {
        window.PointAt(x, y);
        run.PressKey("b", "BEEP");
        return CountOccurrences(run.Output(), "OnHover\n");
    };
    std::size_t hovers = seenHere(60, 560);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
        const std::size_t now = seenHere(kWidth / 2 + c.dx, kHeight / 2 + c.dy);
        EXPECT_EQ(now - hovers, c.hovers ? 1u : 0u);
        hovers = now;
        if (c.hovers) {
            seenHere(60, 560);
        }
    }

    run.Click(kWidth / 2 + 30, kHeight / 2);
    EXPECT_TRUE(run.WaitForScene("MainScene.json")) << "a click at the button's edge starts";
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
}

TEST(ViewInGameTest, F11CoversTheScreenAndTheSecondPressGoesBackToTheWindow) {
    GameRun run;
    run.CopyShippedTree();
    ASSERT_TRUE(run.StartOn("MenuScene.json")) << run.Errors();
    // The shipped game hides the collider outlines this measures: F4 shows every tool.
    run.PressKey("F4", "TOGGLETOOLS");
    DisplayWindow& window = run.window();
    window.PointAt(60, 560);
    const std::optional<DisplayWindow::Geometry> windowed = window.GetGeometry();
    ASSERT_TRUE(windowed);
    EXPECT_EQ(windowed->width, 1080);
    EXPECT_EQ(windowed->height, 720);

    run.PressKey("F11", "TOGGLE_FULLSCREEN");
    EXPECT_TRUE(WaitUntil([&] { return window.GetGeometry() == kScreen; }, kWindowLimit));
    Screenshot shot = window.ShotWhen(
        "fullscreen", [](const Screenshot& s) { return DrawnAt(s, kScreen.width, kScreen.height); },
        kShotLimit);
    ExpectRoundOutline(shot);

    run.PressKey("F11", "TOGGLE_FULLSCREEN");
    EXPECT_TRUE(WaitUntil([&] { return window.GetGeometry() == windowed; }, kWindowLimit));
    shot = window.ShotWhen(
        "windowed", [](const Screenshot& s) { return DrawnAt(s, 1080, 720); }, kShotLimit);
    ExpectRoundOutline(shot);

    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
}

// Before the camera kept to the level, the spawn in the bottom-left corner showed black void
// over the window's left 430 and bottom 250 pixels.
TEST(ViewInGameTest, SpawnOfTheFirstLevelShowsNoVoid) {
    GameRun run;
    run.CopyShippedTree();
    run.WriteStartSettings("Scenes/MainScene.json", "1");
    ASSERT_TRUE(run.StartOn("MainScene.json")) << run.Errors();
    // The middle of the window is black until the level's first frame, which draws the level
    // there wherever the view stands.
    constexpr PixelArea kMiddle{500, 320, 580, 400};
    constexpr int kMostOfTheMiddle = 80 * 80 * 9 / 10;
    const Screenshot shot = run.window().ShotWhen(
        "spawn", [&](const Screenshot& s) { return s.Unlike(kVoid, kMiddle) > kMostOfTheMiddle; },
        kShotLimit);
    EXPECT_EQ(run.Scene(), "MainScene.json") << "the picture is of the level, not of a later scene";
    EXPECT_EQ(shot.CountColour(kVoid), 0);
    ASSERT_TRUE(run.CloseWindow());
    EXPECT_EQ(run.Wait(), 0);
}

}  // namespace
