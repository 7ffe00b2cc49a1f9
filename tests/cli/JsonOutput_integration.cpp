// The layout of --json output: one line, ", " and ": " between items, strings
// escaped with every control character as \uXXXX but the usual short ones,
// numbers in the shortest text that reads back as the same number (integral
// ones without a fraction, large ones in full while that is shorter).
#include "RunProgram.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(CliJson, StringsAndNumbersKeepTheirLayout) {
    test::TempDir data;
    test::writeFile(data / "odd.prj",
                    "\xEF\xBB\xBF[Model]\r\nplikModelu=a \"q\" \\ b\ttab\x01\x08\x0c/za\xC5\xBC"
                    "\xC3\xB3\xC5\x82\xC4\x87.stl\r\n\r\n[Material]\r\nmaterialZrodlo=0\r\n"
                    "materialRozmiarX=123456789012345678\r\nmaterialRozmiarY=-0\r\n"
                    "materialRozmiarZ=2.5e-5\r\nmaterialGruboscPowloki=1e22\r\n"
                    "materialGruboscPodkladki=33.333333333333336\r\n");
    auto r =
        test::runBuiltProgram("korvane3d-cli", {"dataDir='" + data.path().string() + "'", "project",
                                                (data / "odd.prj").string(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"plikModelu\": \"a \\\"q\\\" \\\\ b\\ttab\\u0001\\u0008\\u000c/"
                     "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87.stl\", \"BMPwysBialego\": 0, "
                     "\"BMPwysCzarnego\": 0, \"BMPx\": 0, \"BMPy\": 0, \"material\": {\"zrodlo\": "
                     "0, \"rozmX\": 123456789012345680, \"rozmY\": -0, \"rozmZ\": 2.5e-05, "
                     "\"plikMaterialu\": \"\", \"gruboscPowloki\": 1e+22, \"gruboscPodkladki\": "
                     "33.333333333333336}, \"lProcesu\": []}\n");
}
