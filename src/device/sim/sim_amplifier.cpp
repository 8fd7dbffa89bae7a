#include "sim/sim_amplifier.h"

namespace zx {

namespace {

constexpr std::uint8_t kSync = 0xA5;
constexpr std::uint8_t kTail = 0xAA;
constexpr std::uint8_t kWrite = 0xA1;
constexpr std::uint8_t kRequest = 0xA2;
constexpr std::uint8_t kAck = 0x51;
constexpr std::uint8_t kData = 0x52;
constexpr std::uint8_t kLastRecalled = 0x21;
constexpr std::uint8_t kNames = 0x26;
constexpr std::uint8_t kStoreName = 0x27;
constexpr std::uint8_t kBlock = 0x28;
constexpr std::uint8_t kPoll = 0x2B;
// The device starts answering shortly after a request's last byte.
constexpr int kAnswerDelayMs = 2;

// Channel blocks of the image: inputs 80 bytes (10 groups of 8), outputs 88 (11 groups).
constexpr int kChannelStart[6] = {0, 80, 160, 248, 336, 424};
constexpr int kChannelGroups[6] = {10, 10, 11, 11, 11, 11};
constexpr std::uint8_t kDefaultBandFreq[8] = {0, 33, 57, 80, 112, 136, 160, 174};

} // namespace

QByteArray SimAmplifier::DefaultImage() {
    QByteArray img(kImageSize, '\0');
    for (int ch = 0; ch < 6; ++ch) {
        char* b = img.data() + kChannelStart[ch];
        b[2] = char(120);  // gain 0.0 dB
        b[10] = char(240); // low-pass off (20100 Hz)
        // Inputs carry their bands right after the header; outputs after the limiter group.
        char* band = b + (ch < 2 ? 16 : 24);
        for (int k = 0; k < 8; ++k, band += 8) {
            band[0] = char(kDefaultBandFreq[k]);
            band[2] = char(120); // peak gain 0.0 dB, low byte first
            band[4] = char(120); // shelf gain 0.0 dB
            band[6] = char(4);   // Q 1.0
        }
    }
    return img;
}

QByteArray SimAmplifier::BuildFrame(std::uint8_t type, std::uint8_t index, std::uint8_t command,
                                    std::uint8_t block, const QByteArray& payload) {
    QByteArray f;
    f.reserve(12 + payload.size());
    f.append(char(kSync)).append(char(kSync)).append(char(kSync)).append(char(0x00));
    f.append(char(type)).append(char(index)).append(char(command)).append(char(block));
    f.append(char((payload.size() >> 8) & 0xFF)).append(char(payload.size() & 0xFF));
    f.append(payload);
    std::uint8_t x = 0;
    for (qsizetype i = 3; i < f.size(); ++i) x ^= std::uint8_t(f[i]);
    f.append(char(x)).append(char(kTail));
    return f;
}

QByteArray SimAmplifier::BlockFrame(std::uint8_t index, const QByteArray& image) {
    return BuildFrame(kData, index, kBlock, 0, image);
}

SimAmplifier::SimAmplifier() : live_(DefaultImage()) {
    for (int i = 0; i < kSlots; ++i) {
        slotImages_[i] = live_;
        slotNames_[i] = QByteArray(kNameSize, '\0');
    }
}

void SimAmplifier::setLiveImage(const QByteArray& image) {
    live_ = image.left(kImageSize);
    live_.append(QByteArray(kImageSize - live_.size(), '\0'));
}

QByteArray SimAmplifier::slotImage(int slot) const {
    return slot >= 1 && slot <= kSlots ? slotImages_[slot - 1] : QByteArray();
}

QByteArray SimAmplifier::slotName(int slot) const {
    return slot >= 1 && slot <= kSlots ? slotNames_[slot - 1] : QByteArray();
}

void SimAmplifier::setSlot(int slot, const QByteArray& image, const QByteArray& name) {
    if (slot < 1 || slot > kSlots) return;
    QByteArray img = image.left(kImageSize);
    img.append(QByteArray(kImageSize - img.size(), '\0'));
    QByteArray n = name.left(kNameSize);
    n.append(QByteArray(kNameSize - n.size(), '\0'));
    slotImages_[slot - 1] = img;
    slotNames_[slot - 1] = n;
}

std::vector<QByteArray> SimAmplifier::framesFromPc() const {
    std::vector<QByteArray> out;
    for (const auto& f : frames_)
        if (f.fromPc) out.push_back(f.bytes);
    return out;
}

void SimAmplifier::record(std::int64_t atMs, bool fromPc, const QByteArray& bytes) {
    frames_.push_back({atMs, fromPc, bytes});
    if (onFrame) onFrame(frames_.back());
}

std::vector<SimAmplifier::Output> SimAmplifier::receive(std::uint8_t byte, std::int64_t nowMs) {
    // Switching the fault off plugs the cable in again.
    cableOff_ = cableOff_ && faults.cableOffAtBlockWrite;
    if (cableOff_) return {};
    if (!partial_.isEmpty() && nowMs - lastByteMs_ > kFrameTimeoutMs) {
        if (partial_.size() > 3) ++damaged_;
        partial_.clear();
    }
    lastByteMs_ = nowMs;
    // Hunt for the three sync bytes; a byte that breaks them starts the hunt again.
    if (partial_.size() < 3) {
        if (byte == kSync)
            partial_.append(char(byte));
        else
            partial_.clear();
        return {};
    }
    partial_.append(char(byte));
    if (partial_.size() < 10) return {};
    if (partial_.size() == 10 && faults.cableOffAtBlockWrite &&
        std::uint8_t(partial_[4]) == kWrite && std::uint8_t(partial_[6]) == kBlock) {
        cableOff_ = true;
        partial_.clear();
        return {};
    }
    const int len = (std::uint8_t(partial_[8]) << 8) | std::uint8_t(partial_[9]);
    if (len > kMaxPayload) {
        ++damaged_;
        partial_.clear();
        return {};
    }
    if (partial_.size() < 12 + len) return {};
    const QByteArray frame = partial_;
    partial_.clear();
    std::uint8_t x = 0;
    for (int i = 3; i < 10 + len; ++i) x ^= std::uint8_t(frame[i]);
    if (std::uint8_t(frame[10 + len]) != x || std::uint8_t(frame[11 + len]) != kTail) {
        ++damaged_;
        return {};
    }
    // A frame lost on the line never reached the device: nothing of it is seen.
    const bool write = std::uint8_t(frame[4]) == kWrite;
    if (write && std::uint8_t(frame[6]) == kStoreName && faults.storeFrameLost) return {};
    if (write && std::uint8_t(frame[6]) == kBlock && faults.blockWriteLost) return {};
    record(nowMs, true, frame);
    auto out = handle(frame, nowMs);
    for (const auto& o : out) record(nowMs + o.gapMs, false, o.bytes);
    return Misbehave(std::move(out));
}

std::vector<SimAmplifier::Output> SimAmplifier::Misbehave(std::vector<Output> out) {
    for (auto& o : out) {
        const bool block = o.bytes.size() == 12 + kImageSize && std::uint8_t(o.bytes[6]) == kBlock;
        if (block && faults.damagedBlocks > 0) {
            --faults.damagedBlocks;
            o.bytes[10 + 100] = char(std::uint8_t(o.bytes[10 + 100]) ^ 0x10);
        }
        if (block && faults.badBlockChecksum) o.bytes[o.bytes.size() - 2] ^= char(0x5A);
        if (block && faults.truncatedBlock) o.bytes.truncate(o.bytes.size() / 2);
        if (faults.garbage) o.bytes.fill(char(0x55));
    }
    if (faults.byteGapMs <= 0) return out;
    std::vector<Output> split;
    for (const auto& o : out)
        for (qsizetype k = 0; k < o.bytes.size(); ++k)
            split.push_back({k == 0 ? o.gapMs : faults.byteGapMs, o.bytes.mid(k, 1)});
    return split;
}

std::vector<SimAmplifier::Output> SimAmplifier::handle(const QByteArray& f, std::int64_t nowMs) {
    if (faults.silent || (faults.silentFromMs && nowMs >= *faults.silentFromMs)) return {};
    const std::uint8_t type = f[4], index = f[5], command = f[6], block = f[7];
    const int len = int(f.size()) - 12;
    const QByteArray payload = f.mid(10, len);
    const QByteArray ack = BuildFrame(kAck, 0, 0, 0, {});
    std::vector<Output> out;

    if (type == kRequest && len == 0) {
        if (command == kBlock && index == 0) {
            if (faults.garbageBlock)
                out.push_back({kAnswerDelayMs, QByteArray(40, char(0x55))});
            else
                out.push_back({kAnswerDelayMs, BlockFrame(0, live_)});
        } else if (command == kBlock && index >= 1 && index <= kSlots) {
            if (faults.ignoreRecalls) return {};
            live_ = slotImages_[index - 1];
            lastRecalled_ = index;
            QByteArray report(8, '\0');
            report[0] = char(index);
            const QByteArray reportFrame = BuildFrame(kData, 0, kLastRecalled, 0, report);
            if (recallReport == RecallReport::Before) out.push_back({kAnswerDelayMs, reportFrame});
            out.push_back({kAnswerDelayMs, BlockFrame(index, live_)});
            if (recallReport == RecallReport::After)
                out.push_back({kReportAfterGapMs, reportFrame});
        } else if (command == kPoll && index == 0) {
            out.push_back({kAnswerDelayMs, BuildFrame(kData, 0, kPoll, 0,
                                                      QByteArray(longPollAnswer ? 20 : 8, '\0'))});
        } else if (command == kNames && index == 0 && !faults.noNames) {
            QByteArray names;
            for (const auto& n : slotNames_) names.append(n);
            out.push_back({kAnswerDelayMs, BuildFrame(kData, 0, kNames, 0, names)});
        }
        return out;
    }
    if (type != kWrite) return {};

    bool accepted = false;
    if (command <= 5 && index == 0 && len == 8 && block < kChannelGroups[command]) {
        live_.replace(kChannelStart[command] + 8 * block, 8, payload);
        accepted = true;
    } else if (command == kStoreName && index >= 1 && index <= kSlots && len == kNameSize) {
        QByteArray img = live_;
        img.replace(532, kNameSize, payload);
        slotImages_[index - 1] = img;
        slotNames_[index - 1] = payload;
        accepted = true;
    } else if (command == kBlock && index == 0 && len == kImageSize) {
        live_ = payload;
        if (faults.wrongBlockByte && *faults.wrongBlockByte >= 0 &&
            *faults.wrongBlockByte < kImageSize)
            live_[*faults.wrongBlockByte] =
                char(std::uint8_t(live_[*faults.wrongBlockByte]) ^ 0x01);
        accepted = true;
    }
    if (accepted && !faults.noAcks) out.push_back({kAnswerDelayMs, ack});
    return out;
}

} // namespace zx
