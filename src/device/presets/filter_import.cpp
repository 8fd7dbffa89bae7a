#include "presets/filter_import.h"

#include "model/channel_names.h"
#include "model/entry_fields.h"
#include "model/value_scales.h"
#include "presets/filter_export.h"
#include "response/biquad_design.h"

#include <algorithm>
#include <cmath>

namespace zx {
namespace {

constexpr double kBesselQ = 0.57735026918962576;
// A written Q this close to a type's Q counts as that type.
constexpr double kTypeQTolerance = 0.05;

QString Hz(double v) {
    return QString::number(v, 'g', 6) + QStringLiteral(" Hz");
}
QString Db(double v) {
    return QString::number(v, 'f', 1) + QStringLiteral(" dB");
}
QString Plain(double v) {
    return QString::number(v, 'g', 6);
}

class Importer {
  public:
    Importer(const std::vector<ChannelId>& channels, ParameterModel& model, FilterImport& out,
             const std::vector<ListChannelName>& names)
        : selected_(channels), model_(model), out_(out), names_(names) {}

    void Run(const FilterList& list) {
        original_ = model_.bands;
        for (ChannelId ch : selected_) {
            if (out_.written[static_cast<std::size_t>(ch)]) continue;
            out_.written[static_cast<std::size_t>(ch)] = WrittenChannel{};
            ResetChannel(ch);
        }
        targets_ = selected_;
        for (const ListEntry& e : list.entries) {
            line_ = e.line;
            switch (e.what) {
            case ListEntry::What::Channel:
                SelectChannels(e.channels);
                break;
            case ListEntry::What::Preamp:
                if (!unknownSection_.isEmpty()) {
                    Note(ListNote::Kind::Dropped,
                         QStringLiteral("Preamp %1: under \"Channel: %2\", which is no channel of "
                                        "the device")
                             .arg(Db(e.preampDb), unknownSection_));
                } else if (targets_.empty() && !unselectedSection_.isEmpty()) {
                    Note(ListNote::Kind::Skipped,
                         QStringLiteral("Preamp %1: under \"Channel: %2\", not chosen")
                             .arg(Db(e.preampDb), unselectedSection_));
                }
                for (ChannelId ch : targets_) {
                    Written(ch).preampDb += e.preampDb;
                    state_[static_cast<std::size_t>(ch)].preampLine = line_;
                    out_.usable = true;
                }
                break;
            case ListEntry::What::Filter:
                if (!unknownSection_.isEmpty()) {
                    Note(ListNote::Kind::Dropped,
                         QStringLiteral("%1 %2: under \"Channel: %3\", which is no channel of the "
                                        "device")
                             .arg(e.filter.typeText, Hz(e.filter.fc), unknownSection_));
                }
                for (ChannelId ch : targets_) AddFilter(ch, e.filter);
                break;
            }
        }
        for (ChannelId ch : selected_) SetGain(ch);
    }

  private:
    struct ChannelState {
        int bands = 0;
        bool highPass = false;
        bool lowPass = false;
        int preampLine = 0;
        bool done = false;
    };

    WrittenChannel& Written(ChannelId ch) { return *out_.written[static_cast<std::size_t>(ch)]; }

    void Note(ListNote::Kind kind, const QString& text) {
        out_.notes.push_back({kind, line_, text});
    }
    void Note(ChannelId ch, ListNote::Kind kind, const QString& text) {
        Note(kind, ChannelName(ch) + QStringLiteral(": ") + text);
    }

    void ResetChannel(ChannelId ch) {
        ChannelParams& c = model_.channels[static_cast<std::size_t>(ch)];
        const ChannelParams defaults;
        c.gainIndex = defaults.gainIndex;
        c.hpfFreqIndex = defaults.hpfFreqIndex;
        c.hpfType = defaults.hpfType;
        c.lpfFreqIndex = defaults.lpfFreqIndex;
        c.lpfType = defaults.lpfType;
        for (int b = 0; b < kBandsPerChannel; ++b) model_.band(ch, b) = DefaultBand(b);
    }

    std::optional<ChannelId> ChannelNamed(const QString& name) const {
        for (const ListChannelName& n : names_) {
            if (n.listName.compare(name, Qt::CaseInsensitive) == 0) return n.channel;
        }
        return ChannelByName(name);
    }

    void SelectChannels(const QStringList& names) {
        unknownSection_.clear();
        unselectedSection_.clear();
        if (names.size() == 1 && names[0].compare(u"all", Qt::CaseInsensitive) == 0) {
            targets_ = selected_;
            return;
        }
        targets_.clear();
        QStringList unknown;
        QStringList unselected;
        for (const QString& name : names) {
            const auto ch = ChannelNamed(name);
            if (!ch) {
                unknown << name;
            } else if (std::find(selected_.begin(), selected_.end(), *ch) == selected_.end()) {
                unselected << name;
            } else if (std::find(targets_.begin(), targets_.end(), *ch) == targets_.end()) {
                targets_.push_back(*ch);
            }
        }
        if (!unknown.isEmpty()) {
            targets_.clear();
            unknownSection_ = names.join(u' ');
            Note(ListNote::Kind::Ignored,
                 QStringLiteral("\"%1\" is no channel of the device (in_left, in_right, "
                                "out_left, out_right, out_sub, out_4; map it with --channel "
                                "NAME=CHANNEL); the filters below it are dropped")
                     .arg(unknown.join(u' ')));
        } else if (!unselected.isEmpty()) {
            unselectedSection_ = names.join(u' ');
            Note(ListNote::Kind::Skipped,
                 QStringLiteral("%1 not chosen with --channel; its filters are left out")
                     .arg(unselected.join(u' ')));
        }
    }

    // Snaps a frequency with the entry fields' rule, noting a value beyond the table.
    int Frequency(ChannelId ch, double hz) {
        const int index = SnapFrequency(hz);
        if (hz < FrequencyScale[0] || hz > FrequencyScale[kMaxFrequencyIndex]) {
            Note(ch, ListNote::Kind::Limited,
                 QStringLiteral("Fc %1 limited to %2").arg(Hz(hz), Hz(FrequencyAt(index))));
        }
        return index;
    }

    void AddFilter(ChannelId ch, const ListFilter& f) {
        Written(ch).filters.push_back(f);
        if (f.kind == ListFilterKind::HighPass || f.kind == ListFilterKind::LowPass) {
            AddCrossover(ch, f);
        } else {
            AddBand(ch, f);
        }
    }

    void AddBand(ChannelId ch, const ListFilter& f) {
        ChannelState& s = state_[static_cast<std::size_t>(ch)];
        const bool exported = f.device && MatchesExportedBand(f, *f.device);
        if (!exported && *f.gainDb == 0.0) {
            Note(ch, ListNote::Kind::Info,
                 QStringLiteral("%1 %2: 0.0 dB, no band used").arg(f.typeText, Hz(f.fc)));
            return;
        }
        if (s.bands == kBandsPerChannel) {
            Note(ch, ListNote::Kind::Dropped,
                 QStringLiteral("%1 %2: all eight bands are in use").arg(f.typeText, Hz(f.fc)));
            return;
        }
        const int bandNumber = s.bands++;
        EqBandParams& band = model_.band(ch, bandNumber);
        if (exported) {
            // Written by export and not edited since: the band's own values.
            band = BandOfDeviceValues(*f.device);
            out_.usable = true;
            Note(ch, ListNote::Kind::Info,
                 QStringLiteral("%1 %2 -> band %3 as exported")
                     .arg(f.typeText, Hz(f.fc))
                     .arg(bandNumber + 1));
            return;
        }
        // What a list line cannot say (a shelf's Q, the other kind's gain) stays as it was.
        band = original_[static_cast<std::size_t>(BandId(ch, bandNumber))];
        band.type =
            static_cast<std::uint8_t>(f.kind == ListFilterKind::Peaking    ? EqType::Peq
                                      : f.kind == ListFilterKind::LowShelf ? EqType::LowShelf
                                                                           : EqType::HighShelf);
        band.freqIndex = static_cast<std::uint8_t>(Frequency(ch, f.fc));
        const double gain = *f.gainDb;
        const int gainIndex = SnapGain(gain);
        if (gain > EqGainScale[kMaxEqGainIndex] || gain < EqGainScale[0]) {
            Note(ch, ListNote::Kind::Limited,
                 QStringLiteral("%1 %2: gain %3 limited to %4")
                     .arg(f.typeText, Hz(f.fc), Db(gain), Db(EqGainAt(gainIndex))));
        }
        SetActiveGainIndex(band, static_cast<std::uint16_t>(gainIndex));
        if (f.kind == ListFilterKind::Peaking) {
            const double q = *f.q;
            band.qIndex = static_cast<std::uint8_t>(SnapQ(q));
            if (q > QScale[kMaxQIndex] || q < QScale[0]) {
                Note(ch, ListNote::Kind::Limited,
                     QStringLiteral("%1 %2: Q %3 limited to %4")
                         .arg(f.typeText, Hz(f.fc), Plain(q), Plain(QAt(band.qIndex))));
            }
        } else if (f.q || f.slopeDb || f.shelf == ShelfForm::SecondOrder) {
            const QString what =
                f.q ? QStringLiteral("Q %1").arg(Plain(*f.q)) : QStringLiteral("its slope");
            Note(ch, ListNote::Kind::Changed,
                 QStringLiteral("%1 %2: the device's shelves are fixed 6 dB shelves; %3 is not "
                                "used")
                     .arg(f.typeText, Hz(f.fc), what));
        }
        RefreshHalves(band);
        QString result = QStringLiteral("band %1 %2 %3 %4")
                             .arg(bandNumber + 1)
                             .arg(EqTypeText(band.type), Hz(FrequencyAt(band.freqIndex)),
                                  Db(EqGainAt(gainIndex)));
        if (IsPeaking(band))
            result += QStringLiteral(" Q %1").arg(FormatOneDecimal(QAt(band.qIndex)));
        Note(ch, ListNote::Kind::Info,
             QStringLiteral("%1 %2 -> %3").arg(f.typeText, Hz(f.fc), result));
        out_.usable = true;
    }

    void AddCrossover(ChannelId ch, const ListFilter& f) {
        ChannelState& s = state_[static_cast<std::size_t>(ch)];
        const bool high = f.kind == ListFilterKind::HighPass;
        const QString name = high ? QStringLiteral("high-pass") : QStringLiteral("low-pass");
        bool& taken = high ? s.highPass : s.lowPass;
        if (taken) {
            Note(ch, ListNote::Kind::Dropped,
                 QStringLiteral("%1 %2: a second %3; the channel has one")
                     .arg(f.typeText, Hz(f.fc), name));
            return;
        }
        taken = true;
        ChannelParams& c = model_.channels[static_cast<std::size_t>(ch)];
        const int offIndex = high ? 0 : kMaxFrequencyIndex;
        int type = 0;
        int index = offIndex;
        if (f.crossoverType) {
            type = *f.crossoverType;
            if (!f.crossoverOff) index = Frequency(ch, f.fc);
        } else {
            const double q = f.q.value_or(kButterworthQ);
            type = NearestSecondOrderType(q);
            if (std::abs(std::log(q / SecondOrderTypeQ(type))) > kTypeQTolerance) {
                Note(ch, ListNote::Kind::Changed,
                     QStringLiteral("%1 %2: Q %3 is no type of the device; %4 (Q %5) is used")
                         .arg(f.typeText, Hz(f.fc), Plain(q), CrossoverTypeText(type),
                              Plain(SecondOrderTypeQ(type))));
            }
            index = Frequency(ch, f.fc);
        }
        if (!f.crossoverOff && index == offIndex) {
            // The end of the table switches the filter off; the next entry keeps it working.
            index = high ? 1 : kMaxFrequencyIndex - 1;
            Note(ch, ListNote::Kind::Changed,
                 QStringLiteral("%1 %2: %3 switches the %4 off; %5 is used")
                     .arg(f.typeText, Hz(f.fc), Hz(FrequencyAt(offIndex)), name,
                          Hz(FrequencyAt(index))));
        }
        (high ? c.hpfFreqIndex : c.lpfFreqIndex) = static_cast<std::uint8_t>(index);
        (high ? c.hpfType : c.lpfType) = static_cast<std::uint8_t>(type);
        Note(ch, ListNote::Kind::Info,
             QStringLiteral("%1 %2 -> %3 %4 %5")
                 .arg(f.typeText, f.crossoverOff ? QStringLiteral("off") : Hz(f.fc), name,
                      CrossoverTypeText(type),
                      index == offIndex ? QStringLiteral("off") : Hz(FrequencyAt(index))));
        out_.usable = true;
    }

    void SetGain(ChannelId ch) {
        ChannelState& s = state_[static_cast<std::size_t>(ch)];
        if (s.done) return;
        s.done = true;
        const double db = Written(ch).preampDb;
        const int index = SnapChannelGain(db);
        model_.channels[static_cast<std::size_t>(ch)].gainIndex = static_cast<std::uint8_t>(index);
        line_ = s.preampLine;
        if (s.preampLine > 0) {
            Note(ch, ListNote::Kind::Info,
                 QStringLiteral("Preamp %1 -> gain %2").arg(Db(db), Db(ChannelGainAt(index))));
        }
        if (db > ChannelGainScale[kMaxChannelGainIndex] || db < ChannelGainScale[0]) {
            Note(ch, ListNote::Kind::Limited,
                 QStringLiteral("Preamp %1 limited to %2").arg(Db(db), Db(ChannelGainAt(index))));
        }
    }

    std::vector<ChannelId> selected_;
    ParameterModel& model_;
    FilterImport& out_;
    std::vector<ChannelId> targets_;
    QString unknownSection_;
    QString unselectedSection_;
    std::vector<ListChannelName> names_;
    std::array<ChannelState, kChannelCount> state_{};
    decltype(ParameterModel::bands) original_{};
    int line_ = 0;
};

} // namespace

bool FilterImport::HasChanges() const {
    return std::any_of(notes.begin(), notes.end(), [](const ListNote& n) {
        return n.kind == ListNote::Kind::Dropped || n.kind == ListNote::Kind::Limited ||
               n.kind == ListNote::Kind::Changed;
    });
}

int SnapChannelGain(double db) {
    const double index = std::round((db - ChannelGainScale[0]) * 10.0);
    return static_cast<int>(std::clamp(index, 0.0, double(kMaxChannelGainIndex)));
}

double SecondOrderTypeQ(int type) {
    switch (static_cast<CrossoverType>(type)) {
    case CrossoverType::LinkwitzRiley12:
        return 0.5;
    case CrossoverType::Bessel12:
        return kBesselQ;
    default:
        break;
    }
    return kButterworthQ;
}

int NearestSecondOrderType(double q) {
    int best = 0;
    for (int type = 1; type <= 2; ++type) {
        if (std::abs(std::log(q / SecondOrderTypeQ(type))) <
            std::abs(std::log(q / SecondOrderTypeQ(best))))
            best = type;
    }
    return best;
}

FilterImport ImportFilterList(const FilterList& list, const std::vector<ChannelId>& channels,
                              ParameterModel& model, const std::vector<ListChannelName>& names) {
    FilterImport out;
    out.notes = list.notes;
    std::vector<ChannelId> unique;
    for (ChannelId ch : channels) {
        if (ch >= 0 && ch < kChannelCount &&
            std::find(unique.begin(), unique.end(), ch) == unique.end())
            unique.push_back(ch);
    }
    Importer(unique, model, out, names).Run(list);
    std::stable_sort(out.notes.begin(), out.notes.end(),
                     [](const ListNote& a, const ListNote& b) { return a.line < b.line; });
    return out;
}

} // namespace zx
