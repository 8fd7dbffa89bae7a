#include "app_fixture.h"

#include <algorithm>

#include "replies/reply_dispatcher.h"

using namespace zx;

// A peer that writes far faster than 9600 baud must not hold the window thread: each
// notification takes a bounded piece, timers run between them, and the link survives.
TEST_F(AppTest, flood_isReadInBoundedPiecesWhilePollingGoesOn) {
    connectAndWait();
    qsizetype largest = 0;
    int notifications = 0;
    app.link.transport.setDispatcher([&] {
        ++notifications;
        largest = std::max(largest, app.link.transport.RxHexBuffer.size());
        app.link.dispatcher.DispatchReplies();
    });
    const auto writesBefore = tp.serial.writes().size();
    std::size_t writesDuringFlood = 0;
    tp.serial.flood(QByteArray::fromHex("A5A5A5005200"), 400'000);
    ASSERT_TRUE(tp.runUntil(
        [&] {
            if (tp.serial.floodLeft() > 0) writesDuringFlood = tp.serial.writes().size();
            return tp.serial.floodLeft() == 0;
        },
        60'000));
    // The buffer holds less than the dispatcher's limit between notifications, and one
    // notification adds at most a full input queue.
    EXPECT_LT(largest, ReplyDispatcher::kBufferLimit +
                           2 * SerialTransport::kMaxReadsPerNotify * SerialTransport::kReadChunk);
    EXPECT_GE(notifications,
              400'000 / (SerialTransport::kMaxReadsPerNotify * SerialTransport::kReadChunk));
    EXPECT_GE(writesDuringFlood - writesBefore, 5u) << "polls went on during the flood";

    tp.advance(2000);
    EXPECT_TRUE(connected());
    EXPECT_TRUE(tp.dialogs.messages().isEmpty());
    EXPECT_EQ(pcFrames().back(), PollRequest());
}
