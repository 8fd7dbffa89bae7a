#include "fit/measurement_file.h"
#include "fit/measurement_load.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace zx {
namespace {

// One row per layout or quirk of real measurement files, each as a small text of its own.
struct Layout {
    const char* name;
    const char16_t* text;
    const char* curve;      // asked for with --curve; "" for the only one
    std::vector<double> hz; // as read
    std::vector<double> db;
    int skipped;             // lines that were no data
    const char* refusedWith; // a part of the reason; nullptr when the curve is read
};

TEST(MeasurementFile, readsEachLayoutAndQuirkAsWritten) {
    const Layout cases[] = {
        {"text export: comment header, phase column",
         u"* Measurement data\n* Freq(Hz) SPL(dB) Phase(degrees)\n20.000 85.1 -12.0\n"
         u"25.000 86.2 -15.5\n",
         "",
         {20.0, 25.0},
         {85.1, 86.2},
         0,
         nullptr},
        {".frd: scientific notation, a row at 0 Hz",
         u"0.0000000e+00 2.43e+01 -9.0e+01\n5.859375e+00 5.4380e+01 -9.0e+01\n1.0e+01 6.0e+01 0\n",
         "",
         {5.859375, 10.0},
         {54.38, 60.0},
         0,
         nullptr},
        {"CSV with a header",
         u"frequency,raw\n100,80.5\n200,81.0\n",
         "raw",
         {100.0, 200.0},
         {80.5, 81.0},
         0,
         nullptr},
        {"decimal commas, semicolons",
         u"Freq;SPL\n100,5;80,25\n200,5;81,5\n",
         "",
         {100.5, 200.5},
         {80.25, 81.5},
         0,
         nullptr},
        {"decimal commas, spaces",
         u"100,5 80,25\n200,5 81,5\n",
         "",
         {100.5, 200.5},
         {80.25, 81.5},
         0,
         nullptr},
        {"comma and space between fields",
         u"100.5, 80.25\n200.5, 81.5\n",
         "",
         {100.5, 200.5},
         {80.25, 81.5},
         0,
         nullptr},
        {"zero-padded signed levels, CR LF",
         u"20.00 -01.94\r\n20.20 07.75\r\n",
         "",
         {20.0, 20.2},
         {-1.94, 7.75},
         0,
         nullptr},
        {"one frequency column: quoted names, a phase column, thousands in quotes",
         u"\"Frequency\",\"Left (94 dB)\",\"Left phase\",\"Right (94 dB)\"\n"
         u"\"1,000.5\",\"85.0\",\"10\",\"84.0\"\n\"20,000\",\"80.0\",\"20\",\"79.5\"\n",
         "Right",
         {1000.5, 20000.0},
         {84.0, 79.5},
         0,
         nullptr},
        {"pairs: names over each pair, a shorter pair ends in empty cells",
         u"\"Left (94 "
         u"dB)\",,Right,\nX,Y,X,Y\nHz,dBSPL,Hz,dBSPL\n20,80,20,70\n40,81,40,71\n80,82,,\n",
         "Right",
         {20.0, 40.0},
         {70.0, 71.0},
         2,
         nullptr},
        {"pairs: a curve chosen by its beginning",
         u"\"Left (94 "
         u"dB)\",,Right,\nX,Y,X,Y\nHz,dBSPL,Hz,dBSPL\n20,80,20,70\n40,81,40,71\n80,82,,\n",
         "left",
         {20.0, 40.0, 80.0},
         {80.0, 81.0, 82.0},
         2,
         nullptr},
        {"pairs: tabs, thousands commas, a longer pair's rows begin with empty cells",
         u"\"On Axis\"\t\t\"Listening Window\"\t\t\n"
         u"\"Frequency [Hz]\"\t\"SPL [dB]\"\t\"Frequency [Hz]\"\t\"SPL [dB]\"\t\n"
         u"500\t80\t11.7\t60\n1,071.53\t81\t500\t61\n\t\t12,126\t62\n",
         "Listening Window",
         {11.7, 500.0, 12126.0},
         {60.0, 61.0, 62.0},
         1,
         nullptr},
        {"pairs that no header names: every other column repeats the frequency",
         u"f1,L,f2,R\n100,80,100,70\n200,81,200,71\n\n\n\n,,400,72\n",
         "R",
         {100.0, 200.0, 400.0},
         {70.0, 71.0, 72.0},
         0,
         nullptr},
        {"stacked blocks, each a curve named by its header; N/A rows",
         u"\"RMS Level\",\"0 deg\",\nCh1,,\nX,Y,\nHz,dBSPL,\n100,80,\n200,81,\n\n"
         u"\"RMS Level\",\"15 deg\",\nCh1,,\nX,Y,\nHz,dBSPL,\n110,70,\n220,71,\n"
         u"\"Summary\",\"0 deg\",\nChannel,\"Passed\",\"Passed\"\nCh1,N/A,N/A\n",
         "15 deg",
         {110.0, 220.0},
         {70.0, 71.0},
         9,
         nullptr},
        {"header lines without comment marks; the last one names the columns",
         u"Report\t\u00C4nderung \u00FC\nMy title\nDevice\tPhone\nDate\t2024\n"
         u"Frequency\tMagnitude\n20\t-3\n40\t-2\n",
         "Magnitude",
         {20.0, 40.0},
         {-3.0, -2.0},
         4,
         nullptr},
        {"a DFT export: title, settings, a tab and a space before each value, 0 Hz",
         u"DFT\r\nNumpoints = 4\r\nSamplingRate = 44100 Hz\r\nFrequency(Hz)   Magnitude(dB)\r\n"
         u"\t 0.000000\t -50.1\r\n\t 10.766602\t -40.2\r\n\t 21.533203\t -30.3\r\n",
         "",
         {10.766602, 21.533203},
         {-40.2, -30.3},
         3,
         nullptr},
        {"a quoted cell holds the separator",
         u"Frequency\t\"Sound Pressure Level [dB] / [\t2.83\tV at \t35\tm]\"\tPhase\n"
         u"100\t80\t5\n200\t81\t6\n",
         "Sound Pressure",
         {100.0, 200.0},
         {80.0, 81.0},
         0,
         nullptr},
        {"no-break and narrow spaces group thousands",
         u"100\t80\n1\u00A0000\t81\n12\u202F500\t82\n",
         "",
         {100.0, 1000.0, 12500.0},
         {80.0, 81.0, 82.0},
         0,
         nullptr},
        {"a dot groups thousands where the comma is the decimal mark",
         u"100;80,5\n1.000,5;81,5\n",
         "",
         {100.0, 1000.5},
         {80.5, 81.5},
         0,
         nullptr},
        {"three decimals read either way: the reading that is a measurement",
         u"59,932\t59,139\n60,804\t59,263\n",
         "",
         {59.932, 60.804},
         {59.139, 59.263},
         0,
         nullptr},
        {"rows out of order are sorted",
         u"200 81\n100 80\n",
         "",
         {100.0, 200.0},
         {80.0, 81.0},
         0,
         nullptr},
        {"duplicate frequencies: the mean in dB",
         u"100 80\n100 82\n200 81\n",
         "",
         {100.0, 200.0},
         {81.0, 81.0},
         0,
         nullptr},
        {"a row of N/A",
         u"100,80\n200,81\nCh1,N/A,N/A,\n",
         "",
         {100.0, 200.0},
         {80.0, 81.0},
         1,
         nullptr},
        {"thousands that stay ambiguous", u"1,000\t80\n2,000\t81\n", "", {}, {}, 0, "thousands"},
        {"a decimal comma and a decimal point",
         u"100,5\t80\n1,000.5\t81\n",
         "",
         {},
         {},
         0,
         "line 2 writes numbers with a decimal point, line 1 with a decimal comma"},
        {"a level column equal to a frequency column",
         u"Freq\tA\tB\n100\t100\t80\n200\t200\t81\n",
         "A",
         {},
         {},
         0,
         "column 2 holds the frequencies"},
        {"a level of 1e300", u"100 80\n200 1e300\n", "", {}, {}, 0, "line 2, column 2"},
        {"a frequency of 1e300", u"100 80\n1e300 81\n", "", {}, {}, 0, "line 2: 1e+300 Hz"},
        {"a frequency falls back where no block begins (a thousands separator misread)",
         u"100\t80\n965\t81\n1.00049\t82\n1.07\t83\n",
         "",
         {},
         {},
         0,
         "line 3: the frequency falls back from 965 Hz to 1.00049 Hz"},
        {"all rows at one frequency",
         u"1000 80\n1000 81\n1000 82\n",
         "",
         {},
         {},
         0,
         "all 3 rows from line 1 are at 1000 Hz"},
    };
    for (const Layout& c : cases) {
        SCOPED_TRACE(c.name);
        const MeasurementRead read =
            ReadMeasurementBytes(QStringLiteral("m.txt"), QString::fromUtf16(c.text).toUtf8());
        QString error = read.error;
        std::optional<MeasurementCurve> curve;
        if (error.isEmpty()) curve = CurveOfFile({}, read.file, QString::fromUtf8(c.curve), error);
        if (c.refusedWith) {
            EXPECT_FALSE(curve);
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.refusedWith))) << qPrintable(error);
            continue;
        }
        ASSERT_TRUE(curve) << qPrintable(error);
        EXPECT_EQ(curve->hz, c.hz);
        EXPECT_EQ(curve->db, c.db);
        EXPECT_EQ(read.file.skippedLines, c.skipped);
    }
}

TEST(MeasurementFile, saysWhatWasReadSoThatAMisreadShows) {
    struct Case {
        const char16_t* text;
        const char* described;
        const char* note; // the note the tool prints; "" for none
    };
    const Case cases[] = {
        {u"frequency,raw\n100,80\n200,81.5\n",
         "\"raw\": 2 points, 100 Hz to 200 Hz, 80.0 dB to 81.5 dB", ""},
        {u"title\n200 81\n100 80\n100 82\n",
         "curve: 2 points, 100 Hz to 200 Hz, 81.0 dB to 81.0 dB, "
         "1 row(s) sorted, 1 duplicate row(s) merged, 1 line(s) "
         "skipped from line 1",
         "m.txt: 1 line(s) that are no data were skipped, the first is line 1; 1 row(s) out of "
         "order were sorted; 1 row(s) at a frequency read before were merged (the mean of their "
         "levels in dB)"},
    };
    for (const Case& c : cases) {
        const MeasurementRead read =
            ReadMeasurementBytes(QStringLiteral("m.txt"), QString::fromUtf16(c.text).toUtf8());
        QString error;
        const auto curve = CurveOfFile({}, read.file, {}, error);
        ASSERT_TRUE(curve) << qPrintable(error);
        EXPECT_EQ(DescribeReading(read.file, *curve), QString::fromUtf8(c.described));
        EXPECT_EQ(read.note, QString::fromUtf8(c.note));
    }
}

TEST(MeasurementFile, linesThatAreNoDataAreSkippedAndCounted) {
    struct Case {
        const char* name;
        const char* text;
        std::size_t points;
        int skipped;
        int first;
    };
    const Case cases[] = {
        {"text in the data", "100 80\nclipping!\n200 81\n", 2, 1, 2},
        {"a missing level", "100 80\n150\n200 81\n", 2, 1, 2},
        {"not a number", "100 80\n150 nan\n175 inf\n200 81\n", 2, 2, 2},
        {"a negative frequency", "-5 80\n100 80\n", 1, 1, 1},
        {"a header repeated over the same columns",
         "frequency,raw\n100,80\nfrequency,raw\n200,81\n", 2, 1, 3},
        {"words inside the data name no new columns", "Freq SPL\n100 80\nclip detected\n200 81\n",
         2, 1, 3},
        {"prose only", "hello\nworld\n", 0, 2, 1},
        {"comments are no skipped lines", "# a\n* b\n// c\n100 80\n", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MeasurementFile f = ReadMeasurementText(QString::fromUtf8(c.text));
        EXPECT_EQ(f.curves.empty() ? 0 : f.curves[0].hz.size(), c.points);
        EXPECT_EQ(f.skippedLines, c.skipped);
        EXPECT_EQ(f.firstSkippedLine, c.first);
    }
}

TEST(MeasurementFile, aCurveIsChosenByItsNameOrItsBeginning) {
    const MeasurementFile f = ReadMeasurementText(
        u"Frequency,Left (94 dB),Right (94 dB),Right in-room\n100,80,81,82\n200,83,84,85\n");
    struct Case {
        const char* asked;
        const char* chosen; // nullptr: none
    };
    const Case cases[] = {
        {"Left", "Left (94 dB)"},
        {"left (94 db)", "Left (94 dB)"},
        {"Right (94 dB)", "Right (94 dB)"},
        {"Right", nullptr}, // two curves begin so
        {"Centre", nullptr},
        {"", nullptr}, // three curves, none named
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        QString error;
        const auto curve = ChooseCurve(f, QString::fromUtf8(c.asked), &error);
        if (!c.chosen) {
            EXPECT_FALSE(curve);
            // The message names the curves the file has.
            EXPECT_TRUE(error.contains(QStringLiteral("\"Right in-room\""))) << qPrintable(error);
            continue;
        }
        ASSERT_TRUE(curve) << qPrintable(error);
        EXPECT_EQ(curve->name, QString::fromUtf8(c.chosen));
        EXPECT_EQ(curve->hz, (std::vector<double>{100.0, 200.0}));
    }
    QString error;
    const auto only = ChooseCurve(ReadMeasurementText(u"100 80\n"), {}, &error);
    ASSERT_TRUE(only);
    EXPECT_EQ(only->db, std::vector<double>{80.0});
    EXPECT_FALSE(ChooseCurve(ReadMeasurementText(u""), {}, &error));
}

TEST(MeasurementFile, aFitNeedsTenPointsInItsRange) {
    MeasurementCurve curve{QStringLiteral("Left"), {}, {}};
    for (int k = 1; k <= 12; ++k) {
        curve.hz.push_back(100.0 * k);
        curve.db.push_back(80.0);
    }
    struct Case {
        double low, high;
        const char* fault; // "" when it can be fitted
    };
    const Case cases[] = {
        {20.0, 20000.0, ""},
        {20.0, 1000.0, ""},
        {20.0, 900.0, "\"Left\" has 9 point(s) between 20 and 900 Hz; a fit needs at least 10"},
        {2000.0, 20000.0, "\"Left\" has 0 point(s) between 2000 and 20000 Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.high);
        const QString fault = FitRangeFault(curve, c.low, c.high);
        if (!*c.fault) {
            EXPECT_EQ(fault, QString());
            continue;
        }
        EXPECT_TRUE(fault.startsWith(QString::fromUtf8(c.fault))) << qPrintable(fault);
    }
}

} // namespace
} // namespace zx
