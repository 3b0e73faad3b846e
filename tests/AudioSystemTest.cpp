// The play queue's clock, as the AudioSystem keeps it: when a request counts as finished, when it
// leaves the queue, and how a looping one starts its next round. Requests are placed in time by
// their start on the same steady clock the system reads.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/AudioSystem.h"
#include "audio/PlayRequest.h"
#include "engine/SteadyClock.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kLengthMs = 500;

std::shared_ptr<PlayRequest> Queue(std::chrono::milliseconds elapsed, bool looping = false) {
    auto request = std::make_shared<PlayRequest>();
    request->lengthMs = kLengthMs;
    request->isLooping = looping;
    request->startTime = NowNanoseconds() - std::chrono::nanoseconds(elapsed).count();
    playQueue.push_back(request);
    return request;
}

class AudioSystemTest : public ::testing::Test {
protected:
    void TearDown() override { playQueue.clear(); }

    AudioSystem& audio = AudioSystem::Instance();
};

TEST_F(AudioSystemTest, ARequestFinishesAtItsLengthAndLeavesTheQueueAtTheNextUpdate) {
    // Well short of its length (the margin covers a slow machine between the lines below).
    const auto early = Queue(400ms);
    const auto due = Queue(500ms);
    const auto late = Queue(2000ms);
    audio.Update(0.0f);
    EXPECT_FALSE(early->finished);
    EXPECT_TRUE(due->finished);
    EXPECT_TRUE(late->finished);
    // Marked, but still queued for one update so that listeners see the mark and stop.
    EXPECT_EQ(playQueue, (std::vector{early, due, late}));

    audio.Update(0.0f);
    EXPECT_EQ(playQueue, (std::vector{early}));
}

TEST_F(AudioSystemTest, TheQueueKeepsTheOrderOfTheRequestsThatStay) {
    const auto first = Queue(0ms);
    const auto gone = Queue(600ms);
    const auto second = Queue(0ms, true);
    const auto alsoGone = Queue(900ms);
    const auto third = Queue(100ms);
    audio.Update(0.0f);
    audio.Update(0.0f);
    EXPECT_EQ(playQueue, (std::vector{first, second, third}));
}

TEST_F(AudioSystemTest, ALoopingRequestRestartsEveryRoundAndStaysUntilShutDown) {
    const auto request = Queue(500ms, true);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::int64_t beforeUpdate = NowNanoseconds();
        audio.Update(0.0f);
        EXPECT_TRUE(request->finished);
        EXPECT_GE(request->startTime, beforeUpdate) << "the round restarts when it is marked";

        // The next update starts the new round, from then.
        const std::int64_t marked = request->startTime;
        audio.Update(0.0f);
        EXPECT_FALSE(request->finished);
        EXPECT_GE(request->startTime, marked);
        EXPECT_EQ(playQueue, (std::vector{request}));

        request->startTime -= std::chrono::nanoseconds(500ms).count();
    }

    const auto single = Queue(0ms);
    audio.ShutDown();
    EXPECT_TRUE(playQueue.empty());
    for (const auto& ended : {request, single}) {
        EXPECT_TRUE(ended->finished);
        EXPECT_FALSE(ended->isLooping);
    }
}

}  // namespace
