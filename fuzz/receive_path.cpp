// Device bytes through the serial transport and the reply dispatcher, on the virtual line.
//
// Input: byte 0 holds the flags (bit 0 a file save waits for a block, bit 1 a recall waits
// for one), byte 1 seeds the split points, the rest are the device's bytes. They are
// delivered once whole and once split into pieces, each piece as fast as the port takes it.
// The two deliveries may legitimately end differently (a block is taken only when a read
// leaves exactly its length in the buffer; a short poll answer ends a dispatch), so each
// run is checked on its own: the buffer stays bounded, the model stays in range, only the
// names request is written, and a second run of the same delivery ends exactly alike.

#include <algorithm>
#include <random>
#include <vector>

#include "headless/headless_dialogs.h"
#include "headless/headless_views.h"
#include "link/frame.h"
#include "model/parameter_model.h"
#include "session/device_link.h"
#include "support/fuzz_checks.h"
#include "window_doubles/test_platform.h"

namespace {

using namespace zx;

struct Outcome {
    ParameterModel model;
    std::vector<QByteArray> writes;
    std::vector<QString> saved;
    int names = 0, blocks = 0, recallsEnded = 0, acks = 0, reports = 0;
    bool operator==(const Outcome&) const = default;
};

class ReceiveRig {
  public:
    ReceiveRig(bool savePending, bool recallPending)
        : savePending_(savePending), recallPending_(recallPending) {
        tp.sim.faults.silent = true;
        // The link's own hooks give way to ones that count what the dispatcher hands on, and
        // its polls stay off the line: the device's bytes alone drive the dispatcher.
        ReplyHooks& h = dispatcher.hooks();
        h = ReplyHooks{};
        tp.clock.setHandler(TimerId::Timer1, {});
        h.savePending = [this] { return savePending_; };
        h.savedBlock = [this](const QString& text) {
            savePending_ = false;
            out.saved.push_back(text);
        };
        h.recallPending = [this] { return recallPending_; };
        h.recallEnded = [this] {
            recallPending_ = false;
            ++out.recallsEnded;
        };
        h.deviceBlockApplied = [this] { ++out.blocks; };
        h.namesReceived = [this](const PresetNames&) { ++out.names; };
        h.acknowledged = [this] { ++out.acks; };
        h.lastRecalledText = [this](const QString&) { ++out.reports; };
        transport.setDispatcher([this] {
            // Less than the limit stays after a dispatch; one notification adds at most a
            // full input queue.
            fuzz::Require(transport.RxHexBuffer.size() <
                              ReplyDispatcher::kBufferLimit +
                                  2 * SerialTransport::kMaxReadsPerNotify *
                                      SerialTransport::kReadChunk,
                          "receive buffer bound before dispatch");
            dispatcher.DispatchReplies();
            fuzz::Require(transport.RxHexBuffer.size() < ReplyDispatcher::kBufferLimit,
                          "receive buffer bound after dispatch");
        });
        transport.SelectedPort = 3;
        transport.OpenPort();
        transport.StartReader();
    }

    void Deliver(const QByteArray& piece) {
        if (!piece.isEmpty()) tp.serial.flood(piece, piece.size());
        tp.advance(120);
    }

    Outcome Finish() {
        tp.advance(200);
        out.model = model;
        for (const auto& w : tp.serial.writes()) out.writes.push_back(w.bytes);
        fuzz::RequireInRange(model);
        fuzz::ReadEveryLookup(model);
        for (const QByteArray& w : out.writes)
            fuzz::Require(w == NamesRequest(), "only the names request is written");
        for (const QString& s : out.saved)
            fuzz::Require(s.size() == kBlockFrameTextSize, "a saved block is a whole block");
        return out;
    }

    TestPlatform tp;
    ParameterModel model;
    HeadlessDialogs dialogs;
    HeadlessConnectionView connectionView;
    HeadlessPresetView presetView;
    DeviceLink link{Platform{tp.clock, tp.clock, tp.serial, tp.ports, dialogs}, model,
                    connectionView, presetView};
    SerialTransport& transport = link.transport;
    ReplyDispatcher& dispatcher = link.dispatcher;
    Outcome out;

  private:
    bool savePending_;
    bool recallPending_;
};

std::vector<QByteArray> SplitPieces(const QByteArray& bytes, unsigned seed) {
    std::minstd_rand rng(seed + 1);
    std::vector<QByteArray> pieces;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype n = std::min<qsizetype>(bytes.size() - at, 1 + qsizetype(rng() % 700));
        pieces.push_back(bytes.mid(at, n));
        at += n;
    }
    return pieces;
}

Outcome Run(bool save, bool recall, const std::vector<QByteArray>& pieces) {
    ReceiveRig rig(save, recall);
    for (const QByteArray& p : pieces) rig.Deliver(p);
    return rig.Finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool save = data[0] & 1;
    const bool recall = data[0] & 2;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    Run(save, recall, {bytes});
    const auto pieces = SplitPieces(bytes, data[1]);
    const Outcome split = Run(save, recall, pieces);
    fuzz::Require(Run(save, recall, pieces) == split, "the same delivery ends alike");
    return 0;
}
