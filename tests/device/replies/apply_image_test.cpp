#include "replies/reply_fixture.h"

#include "model/preset_image.h"

namespace zx::replytest {
namespace {

void Put16(QByteArray& image, int offset, int value) {
    image[offset] = char(value & 0xFF);
    image[offset + 1] = char(value >> 8);
}

QString ShownName(const QString& name) {
    return name.left(name.indexOf(QChar(0)));
}

TEST_F(ReplyTest, DefaultBlockLeavesTheModelAtItsDefaultsWithNoName) {
    transport.RxHexBuffer = BlockText(ImageBytes(ParameterModel{}));
    applier.ApplyPresetImage();
    const ParameterModel defaults;
    EXPECT_EQ(model.channels, defaults.channels);
    EXPECT_EQ(model.outputs, defaults.outputs);
    EXPECT_EQ(model.bands, defaults.bands);
    EXPECT_TRUE(ShownName(model.imageName).isEmpty());
}

TEST_F(ReplyTest, DelayAboveTheRangeIsLimitedWithItsHalves) {
    QByteArray image = ImageBytes(ParameterModel{});
    Put16(image, ChannelBlockOffset(2) + 4, 2000);
    Put16(image, ChannelBlockOffset(3) + 4, 960);
    transport.RxHexBuffer = BlockText(image);
    applier.ApplyPresetImage();
    EXPECT_EQ(model.channels[2].delaySteps, 960);
    EXPECT_EQ(model.channels[2].delayHalves, (ByteHalves{0xC0, 0x03}));
    EXPECT_EQ(model.channels[3].delaySteps, 960);
    EXPECT_EQ(model.channels[3].delayHalves, (ByteHalves{0xC0, 0x03}));
    EXPECT_EQ(model.channels[4].delaySteps, 0);
}

TEST_F(ReplyTest, ShelvingBandKeepsBothGainsAsRead) {
    QByteArray image = ImageBytes(ParameterModel{});
    const int band9 = BandRecordOffset(9);
    image[band9 + 1] = 2; // HS
    Put16(image, band9 + 2, 150);
    Put16(image, band9 + 4, 60);
    image.replace(kImageNameOffset, 3, "ABC");
    transport.RxHexBuffer = BlockText(image);
    applier.ApplyPresetImage();
    EXPECT_EQ(model.bands[9].type, 2);
    EXPECT_EQ(model.bands[9].peakGainIndex, 150);
    EXPECT_EQ(model.bands[9].shelfGainIndex, 60);
    EXPECT_EQ(ActiveGainIndex(model.bands[9]), 60);
    EXPECT_EQ(ShownName(model.imageName), QStringLiteral("ABC"));
}

TEST_F(ReplyTest, RefreshRunsOnceWithTheLinkHeldDownAndPendingEditsAreDropped) {
    transport.LinkUp = true;
    model.channels[1].polarity = 1;
    sendSlots.BuildChannelSettings(1);
    sendSlots.BuildEqBand(40);
    ASSERT_TRUE(sendSlots.AnyPending());

    int notifications = 0;
    applier.setImageAppliedHandler([&] {
        ++notifications;
        EXPECT_FALSE(transport.LinkUp);
        EXPECT_EQ(model.channels[1].polarity, 0); // the model is already replaced
        // The screen refresh drives the controls like user edits; nothing may be marked.
        sendSlots.BuildChannelSettings(0);
        sendSlots.BuildEqBand(7);
        EXPECT_FALSE(sendSlots.IsPending(1));
        EXPECT_FALSE(sendSlots.IsPending(24));
    });
    transport.RxHexBuffer = BlockText(ImageBytes(ParameterModel{}));
    applier.ApplyPresetImage();

    EXPECT_EQ(notifications, 1);
    EXPECT_FALSE(sendSlots.AnyPending());
    EXPECT_TRUE(transport.LinkUp);
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
}

TEST_F(ReplyTest, FileTextWithTheLinkDownReplacesTheModelAndMarksNothing) {
    transport.ClosePort();
    ASSERT_FALSE(transport.LinkUp);
    ParameterModel fileModel;
    fileModel.channels[4].gainIndex = 30;
    fileModel.bands[20].qIndex = 100;
    // Files may hold lowercase digits.
    transport.RxHexBuffer = WriteImageText(fileModel).toLower();
    applier.ApplyPresetImage();
    EXPECT_EQ(model.channels[4].gainIndex, 30);
    EXPECT_EQ(model.bands[20].qIndex, 100);
    EXPECT_FALSE(sendSlots.AnyPending());
    // Set again here; the file loader clears it at once when no port is open.
    EXPECT_TRUE(transport.LinkUp);
    EXPECT_TRUE(transport.RxHexBuffer.isEmpty());
    EXPECT_TRUE(p.serial.writes().empty());
}

} // namespace
} // namespace zx::replytest
