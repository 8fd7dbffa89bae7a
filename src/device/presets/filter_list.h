#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "model/parameter_model.h"

#include <optional>
#include <vector>

namespace zx {

// The parametric filters of an equaliser's text list, as Equalizer APO reads it and Room EQ
// Wizard and AutoEQ write it:
//
//     Preamp: -6.5 dB
//     Filter 1: ON PK Fc 63 Hz Gain 4.2 dB Q 1.41
//     Channel: out_left
//
// Keywords, units and numbers are read case-insensitively and with any spacing; a decimal
// comma reads as a point. Thousands are grouped as Equalizer APO reads them: by a dot in a list
// that uses decimal commas ("Fc 8.000 Hz" is 8000 Hz) and by a no-break or narrow space
// ("Fc 1 276 Hz"). "OFF" filters and unused "None" slots are no filters; "Modal" is read as a
// peaking filter. Crossover types that no list filter describes travel as comments
// of the form "# Crossover: HP 24db-LR Fc 80 Hz" (or "... HP 24db-LR off").

enum class ListFilterKind { Peaking, LowShelf, HighShelf, HighPass, LowPass };

// How a shelf's slope is given: LS/HS (slope 0.9), LSC/HSC (Q, 0.71 when left out, or a
// slope in dB per octave), "LS 6dB" (first order) and "LS 12dB" (second order, Q 0.71).
enum class ShelfForm { Standard, CentreQ, FirstOrder, SecondOrder };

// A band's own values, as export writes them in a comment above its filter line
// ("# Device band 3: type 0 freq 136 peak 99 shelf 120 q 5"), so that a list written by export
// imports back to exactly the same settings.
struct DeviceBandValues {
    int type = 0;
    int freq = 0;
    int peakGain = kZeroEqGainIndex;
    int shelfGain = kZeroEqGainIndex;
    int q = 4;
    friend bool operator==(const DeviceBandValues&, const DeviceBandValues&) = default;
};

struct ListFilter {
    ListFilterKind kind = ListFilterKind::Peaking;
    ShelfForm shelf = ShelfForm::Standard;
    QString typeText;              // the type as the list wrote it, e.g. "LSC"
    double fc = 0.0;               // Hz
    std::optional<double> gainDb;  // peaking and shelves
    std::optional<double> q;       // as written, or converted from a bandwidth in octaves
    std::optional<double> slopeDb; // "LSC 12 dB": a shelf slope in dB per octave
    bool fromBandwidth = false;    // q came from "BW Oct"
    // Crossovers written as a comment: the device's type 0..11, and whether the filter is off.
    std::optional<int> crossoverType;
    bool crossoverOff = false;
    std::optional<DeviceBandValues> device; // from the comment line just above
};

struct ListEntry {
    enum class What { Filter, Preamp, Channel };
    What what = What::Filter;
    int line = 0; // counted from 1
    ListFilter filter;
    double preampDb = 0.0;
    QStringList channels; // Channel: the names as written
};

// Something the reader could not take as it stands.
struct ListNote {
    enum class Kind {
        Dropped, // a filter left out: OFF, an unsupported type, a missing value
        Limited, // a value moved to the end of its table
        Changed, // a value the device cannot hold, replaced
        Ignored, // a line that is neither a filter nor a comment
        Skipped, // filters for a channel that was not chosen
        Info,    // what happened, with no change to what was asked for
    };
    Kind kind = Kind::Info;
    int line = 0;
    QString text;
};

struct FilterList {
    std::vector<ListEntry> entries;
    std::vector<ListNote> notes;
};

// Reads a whole list. Never fails: what it cannot read becomes a note with its line number.
FilterList ReadFilterList(QStringView text);

// "dropped", "limited", "changed", "ignored", "skipped", "note".
QString NoteKindText(ListNote::Kind kind);

// Q of a bandwidth in octaves: 2^(bw/2) / (2^bw − 1).
double QOfBandwidth(double octaves);

} // namespace zx
