// The output path file: exact layout, reading back, corners, layers, start point.
#include "output/DaneWyjsciowe.h"
#include "TestSupport.h"
#include "foundation/MachineParams.h"
#include "foundation/State.h"
#include "generation/GenState.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::unique_ptr<tFigura> figure(std::vector<TrPkt3D> points) {
    auto f = std::make_unique<tFigura>();
    f->poz = std::move(points);
    return f;
}

tWy readText(const test::TempDir& dir, const std::string& text, int layer = -1) {
    test::writeFile(dir / "t.out", text);
    tWy reader;
    reader.wczytajPlik(dir / "t.out", layer);
    return reader;
}

class OutputFile : public ::testing::Test {
  protected:
    void SetUp() override {
        cornerAngle = 150;
        cornerCountAngle = 150;
        outputPathSmoothing = false;
    }
};

} // namespace

TEST_F(OutputFile, ExactLayout) {
    FigureList list;
    list.push_back(figure({{12.345f, -6.789f, 0.5f}, {1, 2, 3}}));
    list.back()->przestawczyZ = 21.0004;
    list.push_back(figure({{0, 0, -0.0001f}, {0.0004f, 100.25f, 7}, {-1.5f, 2, 3}}));
    list.back()->przestawczyZ = -2.5;
    list.back()->spirala = 1;
    list.back()->obrys = 2;
    list.back()->NrWarstwy = 3;
    list.back()->Przestawcza = 4;
    const std::string expected = "Operation type=3\r\n"
                                 "Object0\r\n"
                                 "Transfer Z=21.000\r\n"
                                 "Spirala =0\r\n"
                                 "Obrys =0\r\n"
                                 "Warstwa =-1\r\n"
                                 "Przestawcza =0\r\n"
                                 "12.345 -6.789 0.500\r\n"
                                 "1.000 2.000 3.000\r\n"
                                 "Object1\r\n"
                                 "Transfer Z=-2.500\r\n"
                                 "Spirala =1\r\n"
                                 "Obrys =2\r\n"
                                 "Warstwa =3\r\n"
                                 "Przestawcza =4\r\n"
                                 "0.000 0.000 0.000\r\n"
                                 "0.000 100.250 7.000\r\n"
                                 "-1.500 2.000 3.000\r\n";
    EXPECT_EQ(outputFileText(3, list), expected);

    test::TempDir dir;
    EXPECT_TRUE(writeOutputFile(dir / "a.out", 3, list));
    EXPECT_EQ(test::readFile(dir / "a.out"), expected);
    // An empty list writes nothing and leaves the earlier file.
    EXPECT_FALSE(writeOutputFile(dir / "a.out", 3, FigureList{}));
    EXPECT_EQ(test::readFile(dir / "a.out"), expected);
    EXPECT_THROW(writeOutputFile(dir / "missing" / "a.out", 3, list), std::runtime_error);

    tWy reader;
    reader.wczytajPlik(dir / "a.out", -1);
    EXPECT_EQ(reader.typOperacji, 3);
    ASSERT_EQ(reader.ListaFigur.size(), 2u);
    EXPECT_EQ(reader.iloscPunktow, 5);
    const tFigura& first = *reader.ListaFigur[0];
    EXPECT_FLOAT_EQ(first.poz[0].x, 12.345f);
    EXPECT_FLOAT_EQ(first.poz[0].y, -6.789f);
    EXPECT_FLOAT_EQ(first.poz[0].z, 0.5f);
    EXPECT_DOUBLE_EQ(first.przestawczyZ, 21.0);
    const tFigura& second = *reader.ListaFigur[1];
    EXPECT_EQ(second.spirala, 1);
    EXPECT_EQ(second.obrys, 2);
    EXPECT_EQ(second.NrWarstwy, 3);
    EXPECT_EQ(second.Przestawcza, 4);
    EXPECT_DOUBLE_EQ(second.przestawczyZ, -2.5);
    EXPECT_FLOAT_EQ(reader.max.y, 100.25f);
    EXPECT_FLOAT_EQ(reader.min.x, -1.5f);
    // Only the first figure counts in the path length (the second is a rapid one).
    EXPECT_NEAR(reader.dl_sciezki_narz, std::sqrt(11.345 * 11.345 + 8.789 * 8.789 + 6.25), 1e-4);
}

TEST_F(OutputFile, HugeTransferHeightIsWrittenInFull) {
    // Fixed notation of -1e300 takes 301 digits before the point.
    FigureList list;
    list.push_back(figure({{1, 2, 3}}));
    list.back()->przestawczyZ = -1e300;
    const std::string text = outputFileText(1, list);
    const std::size_t start = text.find("Transfer Z=-1000000000000000052504760255204420248704");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(text.find("\r\n", start) - start, 11 + 1 + 301 + 4);
    // Reading it back refuses it, with its line: no machine reaches it.
    test::TempDir dir;
    try {
        readText(dir, text);
        ADD_FAILURE() << "a transfer height of -1e300 was read";
    } catch (const OutputFileError& e) {
        EXPECT_NE(std::string(e.what()).find(", line 3: a coordinate beyond 10000 mm"),
                  std::string::npos)
            << e.what();
    }
}

TEST_F(OutputFile, ObjektLinesAndClosedTolerance) {
    test::TempDir dir;
    auto r = readText(dir, "Operation type=1\r\nObjekt0\r\nTransfer Z=5.000\r\nSpirala =0\r\n"
                           "Obrys =0\r\nWarstwa =0\r\nPrzestawcza =0\r\n1.000 1.000 1.000\r\n"
                           "2.000 1.000 1.000\r\n1.0009 1.0009 1.0009\r\n"
                           "Objekt1\r\n1.000 1.000 1.000\r\n2.000 2.000 2.000\r\n"
                           "1.001 1.001 1.001\r\n");
    ASSERT_EQ(r.ListaFigur.size(), 2u);
    EXPECT_TRUE(r.ListaFigur[0]->zamknieta);
    EXPECT_FALSE(r.ListaFigur[1]->zamknieta);
    EXPECT_EQ(r.typOperacji, 1);
    EXPECT_DOUBLE_EQ(r.ListaFigur[0]->przestawczyZ, 5.0);
}

TEST_F(OutputFile, CornerCountAndLayers) {
    test::TempDir dir;
    const std::string text = "Operation type=1\r\nObject0\r\nWarstwa =1\r\n"
                             "0.000 0.000 0.000\r\n1.000 0.000 0.000\r\n2.000 0.000 0.000\r\n"
                             "Object1\r\nWarstwa =2\r\n"
                             "0.000 0.000 0.000\r\n1.000 0.000 0.000\r\n1.000 1.000 0.000\r\n"
                             "Object2\r\nWarstwa =2\r\n5.000 5.000 5.000\r\n6.000 5.000 5.000\r\n";
    auto all = readText(dir, text);
    EXPECT_EQ(all.ListaFigur.size(), 3u);
    EXPECT_EQ(sharpCornerCount, 2 + 3); // straight run 2, right angle 3
    EXPECT_EQ(all.iloscPunktow, 8);

    auto layer2 = readText(dir, text, 2);
    ASSERT_EQ(layer2.ListaFigur.size(), 2u);
    EXPECT_EQ(layer2.ListaFigur[1]->poz[0].x, 5.0f); // the last figure of the file
    EXPECT_EQ(sharpCornerCount, 3);

    cornerAngle = 80; // a right angle is no longer sharp
    readText(dir, text);
    EXPECT_EQ(sharpCornerCount, 4);
    outputPathSmoothing = true; // the smoothing threshold applies instead
    readText(dir, text);
    EXPECT_EQ(sharpCornerCount, 5);
}

TEST_F(OutputFile, MissingAndMalformedFiles) {
    test::TempDir dir;
    tWy reader;
    reader.wczytajPlik(dir / "none.out", -1);
    EXPECT_TRUE(reader.ListaFigur.empty());
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\nTransfer Z=abc\r\n"),
                 OutputFileError);
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n1.0 2.0\r\n"), OutputFileError);
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n1.0 x 2.0\r\n"), OutputFileError);
    // Beyond a machine's reach a coordinate would overflow the job's steps
    // (3.4e38 still fits a float, and was taken).
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n1e39 0 0\r\n"), OutputFileError);
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n0 0 -3.5e38\r\n"), OutputFileError);
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n0 3.4e38 0\r\n"), OutputFileError);
    EXPECT_THROW(readText(dir, "Operation type=3\r\nObject0\r\n1e30 0 0\r\n"), OutputFileError);
    EXPECT_EQ(
        readText(dir, "Operation type=3\r\nObject0\r\n0 -9999.5 0\r\n").ListaFigur[0]->poz[0].y,
        -9999.5f);
    // Reading appends; clearing empties.
    test::writeFile(dir / "t.out", "Operation type=3\r\nObject0\r\n1 2 3\r\n4 5 6\r\n");
    reader.wczytajPlik(dir / "t.out", -1);
    reader.wczytajPlik(dir / "t.out", -1);
    EXPECT_EQ(reader.ListaFigur.size(), 2u);
    reader.wyczyscListeFigur();
    EXPECT_TRUE(reader.ListaFigur.empty());
}

TEST_F(OutputFile, NearestStartPoint) {
    tWy reader;
    reader.ListaFigur.push_back(figure({{0, 0, 5}, {10, 0, 5}, {20, 0, 5}, {30, 0, 5}}));
    reader.ListaFigur.push_back(figure({{0, 10, 1}, {10, 10, 1}, {20, 10, 1}}));
    // Hatching: heights ignored, the second figure's second segment is nearest.
    reader.UstawNajblizszyPktStartowy({15, 9, 100}, 3);
    EXPECT_EQ(startFigureIndex, 1);
    EXPECT_EQ(startPointIndex, 0); // segment 1, lowered by one
    // Other types: the second figure dips below z = 2 and is never chosen.
    reader.UstawNajblizszyPktStartowy({25, 9, 2}, 1);
    EXPECT_EQ(startFigureIndex, 0);
    EXPECT_EQ(startPointIndex, 1);
    // The query alone leaves the program's start point as it is.
    const StartPoint start = reader.nearestStartPoint({15, 9, 100}, 4);
    EXPECT_EQ(start.figure, 1);
    EXPECT_EQ(start.point, 0);
    EXPECT_EQ(startFigureIndex, 0);
    EXPECT_EQ(startPointIndex, 1);
}
