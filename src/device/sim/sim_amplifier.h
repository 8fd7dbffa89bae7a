#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace zx {

// How the simulated amplifier misbehaves, for tests of the program's time-outs.
struct SimFaults {
    bool silent = false;        // answers nothing at all
    bool noNames = false;       // answers the block request, never the names request
    bool garbageBlock = false;  // answers the block request with bytes that are no block
    bool noAcks = false;        // never acknowledges a write
    bool ignoreRecalls = false; // never answers a recall
    std::optional<std::int64_t> silentFromMs; // answers nothing from this time on
    // Keeps this image byte (0..551) of a block write wrong: the device holds it changed.
    std::optional<int> wrongBlockByte;
    bool garbage = false;          // every answer becomes bytes that are no frame
    bool badBlockChecksum = false; // a block it sends carries a wrong checksum
    bool truncatedBlock = false;   // a block it sends stops half-way
    int byteGapMs = 0;             // every answer goes out byte by byte, this far apart
    bool storeFrameLost = false;   // a store frame never arrives: no slot changes, no answer
    bool blockWriteLost = false;   // a block write never arrives: nothing changes, no answer
    // The next this many blocks it sends have a payload byte changed on the line after their
    // checksum was made.
    int damagedBlocks = 0;
    // The cable comes off as a block write starts: from its header on nothing arrives and
    // nothing is sent.
    bool cableOffAtBlockWrite = false;
};

// Where the last-recalled report goes in a recall's answer.
enum class RecallReport { None, Before, After };

// The amplifier's side of the protocol: a live parameter image and twenty preset slots with
// names. Fed the PC's bytes one by one, it answers each complete request as the device does.
// It parses frames itself and checks their checksum and tail; a damaged frame is counted and
// left unanswered.
class SimAmplifier {
  public:
    static constexpr int kImageSize = 552;
    static constexpr int kNameSize = 20;
    static constexpr int kSlots = 20;
    static constexpr int kMaxPayload = 600;
    // The last-recalled report after a recall's block follows it after this pause, so that
    // the block is read whole before it.
    static constexpr int kReportAfterGapMs = 200;
    // A frame whose bytes stop for longer than this is dropped, as when the cable is pulled
    // half-way through it; the device then hunts for the next frame.
    static constexpr int kFrameTimeoutMs = 1000;

    struct Output {
        int gapMs; // pause after the request's last byte, or after the previous answer's
        QByteArray bytes;
    };
    struct FrameRecord {
        std::int64_t atMs;
        bool fromPc;
        QByteArray bytes;
    };

    SimAmplifier();

    // One byte from the PC, arrived at nowMs; what the device sends in answer (usually
    // nothing until a frame is complete).
    std::vector<Output> receive(std::uint8_t byte, std::int64_t nowMs);

    SimFaults faults;
    RecallReport recallReport = RecallReport::None;
    bool longPollAnswer = false; // the 32-byte poll answer instead of the 20-byte one

    const QByteArray& liveImage() const { return live_; }
    void setLiveImage(const QByteArray& image); // padded or cut to 552 bytes
    QByteArray slotImage(int slot) const;       // slot 1..20
    QByteArray slotName(int slot) const;        // the 20-byte name field
    void setSlot(int slot, const QByteArray& image, const QByteArray& name);
    int lastRecalled() const { return lastRecalled_; }

    // Every complete frame seen and sent, in order, since the last clearFrames().
    const std::vector<FrameRecord>& frames() const { return frames_; }
    void clearFrames() { frames_.clear(); }
    std::vector<QByteArray> framesFromPc() const;
    int damagedFrames() const { return damaged_; }
    // Called for every frame record as it is made (amp-sim's log).
    std::function<void(const FrameRecord&)> onFrame;

    // The image the device holds after a factory reset: every setting at its default, no name.
    static QByteArray DefaultImage();
    // A device frame: A5 A5 A5 00 type index command block len(high, low) payload XOR AA.
    static QByteArray BuildFrame(std::uint8_t type, std::uint8_t index, std::uint8_t command,
                                 std::uint8_t block, const QByteArray& payload);
    // The 564-byte block frame of an image, as the device sends it.
    static QByteArray BlockFrame(std::uint8_t index, const QByteArray& image);

  private:
    std::vector<Output> handle(const QByteArray& frame, std::int64_t nowMs);
    // The answers as the faults switched on change them on their way out.
    std::vector<Output> Misbehave(std::vector<Output> out);
    void record(std::int64_t atMs, bool fromPc, const QByteArray& bytes);

    QByteArray live_;
    std::array<QByteArray, kSlots> slotImages_;
    std::array<QByteArray, kSlots> slotNames_;
    int lastRecalled_ = 0;
    QByteArray partial_; // the frame being received
    std::int64_t lastByteMs_ = 0;
    std::vector<FrameRecord> frames_;
    int damaged_ = 0;
    bool cableOff_ = false;
};

} // namespace zx
