#include "fit/measurement_file.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace zx {
namespace {

struct Read {
    QStringList names;
    std::vector<double> hz;
    std::vector<std::vector<double>> levels;
    int skipped = 0;
    int firstSkipped = 0;
};

Read Of(const char* text) {
    const MeasurementFile f = ReadMeasurementText(QString::fromUtf8(text));
    return {f.curveNames, f.hz, f.levels, f.skippedLines, f.firstSkippedLine};
}

TEST(MeasurementFile, readsEachFormatAsWritten) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<double> hz;
        std::vector<std::vector<double>> levels;
        QStringList names;
    };
    const Case cases[] = {
        {"text export with comment header and phase",
         "* Measurement data\n* Freq(Hz) SPL(dB) Phase(degrees)\n20.000 85.1 -12.0\n"
         "25.000 86.2 -15.5\n",
         {20.0, 25.0},
         {{85.1, 86.2}},
         {""}},
        {".frd, scientific notation, 0 Hz",
         "0.0000000e+00 2.43e+01 -9.0e+01\n5.859375e+00 5.4380e+01 -9.0e+01\n",
         {0.0, 5.859375},
         {{24.3, 54.38}},
         {""}},
        {"CSV with a header",
         "frequency,raw\n100,80.5\n200,81.0\n",
         {100.0, 200.0},
         {{80.5, 81.0}},
         {"raw"}},
        {"decimal commas, semicolons",
         "Freq;SPL\n100,5;80,25\n200,5;81,5\n",
         {100.5, 200.5},
         {{80.25, 81.5}},
         {"SPL"}},
        {"decimal commas, spaces",
         "100,5 80,25\n200,5 81,5\n",
         {100.5, 200.5},
         {{80.25, 81.5}},
         {""}},
        {"comma and space between fields",
         "100.5, 80.25\n200.5, 81.5\n",
         {100.5, 200.5},
         {{80.25, 81.5}},
         {""}},
        {"tabs", "100\t80\t0\n200\t81\t0\n", {100.0, 200.0}, {{80.0, 81.0}}, {""}},
        {"a data set with quoted names and thousands",
         "\"Frequency\",\"Left (94 dB)\",\"Left phase\",\"Right (94 dB)\"\n"
         "\"1,000.5\",\"85.0\",\"10\",\"84.0\"\n\"20,000\",\"80.0\",\"20\",\"79.5\"\n",
         {1000.5, 20000.0},
         {{85.0, 80.0}, {84.0, 79.5}},
         {"Left (94 dB)", "Right (94 dB)"}},
        {"out of order", "200 81\n100 80\n", {100.0, 200.0}, {{80.0, 81.0}}, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = Of(c.text);
        EXPECT_EQ(r.hz, c.hz);
        EXPECT_EQ(r.levels, c.levels);
        EXPECT_EQ(r.names, c.names);
        EXPECT_EQ(r.skipped, 0);
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
        {"a second header after data", "frequency,raw\n100,80\nfrequency,raw\n200,81\n", 2, 1, 3},
        {"prose only", "hello\nworld\n", 0, 2, 1},
        {"comments are no skipped lines", "# a\n* b\n// c\n100 80\n", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = Of(c.text);
        EXPECT_EQ(r.hz.size(), c.points);
        EXPECT_EQ(r.skipped, c.skipped);
        EXPECT_EQ(r.firstSkipped, c.first);
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

} // namespace
} // namespace zx
