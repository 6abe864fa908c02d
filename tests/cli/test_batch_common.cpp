#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(BatchCommon, RoundTripsKeepEveryByte)
{
    struct Case {
        std::string in, out;
    };
    const std::vector<Case> cases = {
        {"N10\nN20\n", "N10\nN20\n"},
        {"N10\rN20\r", "N10\rN20\r"},
        {"N10\r\nN20\nN30\r", "N10\r\nN20\r\nN30\r\n"},
        {"N10\nN20", "N10\nN20\n"},
        {"", ""},
        {std::string("\x80\xff\0N1\n", 6), std::string("\x80\xff\0N1\n", 6)},
        {"\n\n", "\n\n"},
    };
    const std::string dir = freshFolder("roundtrip");
    for (const auto& c : cases) {
        // A renumbering with nothing chosen changes nothing, so the bytes show the load and save alone.
        const BatchOutcome viaStdin = runBatch({"renumber", "-"}, c.in);
        EXPECT_EQ(viaStdin.status, 0);
        EXPECT_EQ(viaStdin.out, c.out) << testing::PrintToString(c.in);
        EXPECT_EQ(viaStdin.err, "");

        writeAll(dir + "/p.nc", c.in);
        const BatchOutcome toFile = runBatch({"spaces", "--remove", "-o", dir + "/o.nc", dir + "/p.nc"});
        EXPECT_EQ(toFile.status, 0);
        EXPECT_EQ(toFile.out, "");
        EXPECT_EQ(readAll(dir + "/o.nc"), c.out);

        const BatchOutcome inPlace = runBatch({"renumber", "--in-place", dir + "/p.nc"});
        EXPECT_EQ(inPlace.status, 0);
        EXPECT_EQ(readAll(dir + "/p.nc"), c.out);
    }
    fs::remove_all(dir);
}

TEST(BatchCommon, BadUsageWritesNothingAndSaysWhyInOneLine)
{
    const std::string dir = freshFolder("usage");
    writeAll(dir + "/p.nc", "N10 X1\n");
    writeAll(dir + "/out.nc", "keep");
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"nosuchfunction", dir + "/p.nc"},
        {"spaces", "--remove", dir + "/missing.nc"},
        {"spaces", "--remove", dir},
        {"spaces", "--remove", "-o", dir + "/no/such/folder/out.nc", dir + "/p.nc"},
        {"spaces", "--remove", "--from", "1", dir + "/p.nc"},
        {"spaces", "--remove", "--to", "3", dir + "/p.nc"},
        {"spaces", "--remove", "--from", "0", "--to", "3", dir + "/p.nc"},
        {"spaces", "--remove", "--from", "1", "--to", "100000001", dir + "/p.nc"},
        {"spaces", "--remove", "--from", "x", "--to", "2", dir + "/p.nc"},
        {"spaces", dir + "/p.nc"},
        {"spaces", "--remove", "--add", dir + "/p.nc"},
        {"spaces", "--remove"},
        {"spaces", "--remove", dir + "/p.nc", dir + "/p.nc"},
        {"spaces", "--remove", "--bogus", dir + "/p.nc"},
        {"spaces", "--remove", "--in-place", "-"},
        {"spaces", "--remove", "--decimal-separator", ";", dir + "/p.nc"},
        {"replace", "--find", "X", dir + "/p.nc"},
        {"translate", dir + "/p.nc"},
        {"translate", "--x", "  ", dir + "/p.nc"},
        {"edit-line", "--line", "0", "--text", "x", dir + "/p.nc"},
        {"delete-line", "--line", "-99999999999999999999", dir + "/p.nc"},
        {"insert-line", "--line", "1x", dir + "/p.nc"},
        {"delete-line", "--line", "1", "--from", "1", "--to", "1", dir + "/p.nc"},
        {"arcs", dir + "/p.nc"},
    };
    for (const auto& args : calls) {
        const BatchOutcome o = runBatch(args);
        EXPECT_EQ(o.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(o.out, "");
        ASSERT_FALSE(o.err.empty());
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
    }
    EXPECT_EQ(readAll(dir + "/p.nc"), "N10 X1\n");
    EXPECT_EQ(readAll(dir + "/out.nc"), "keep");
    EXPECT_EQ(runBatch({"translate", dir + "/p.nc"}).err,
        "torvel-batch: Favor preencher os campos com o valor da translação.\n");
    EXPECT_EQ(runBatch({"spaces", "--remove", dir + "/missing.nc"}).err,
        "torvel-batch: Cannot open file " + dir + "/missing.nc.\n");
    fs::remove_all(dir);
}

TEST(BatchCommon, HelpVersionAndValuesThatLookLikeOptions)
{
    EXPECT_EQ(runBatch({"--help"}).status, 0);
    EXPECT_NE(runBatch({"-h"}).out.find("Usage: torvel-batch"), std::string::npos);
    EXPECT_EQ(runBatch({"--version"}).out, "torvel-batch 1.1\n");
    const BatchOutcome o = runBatch({"replace", "--find", "-h", "--with", "--lines", "-"}, "A-hB\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "A--linesB\n");
    // Help after an option whose value looked like that option.
    const BatchOutcome h = runBatch({"translate", "--x", "--x", "--help", "-"}, "X1\n");
    EXPECT_EQ(h.status, 0);
    EXPECT_NE(h.out.find("Usage: torvel-batch"), std::string::npos);
}

TEST(BatchCommon, ConversionErrorStopsWithStatusOneAndWritesNothing)
{
    const std::string dir = freshFolder("conversion");
    writeAll(dir + "/p.nc", "G01 X1\nG01 X1.2.3\n");
    const BatchOutcome o = runBatch({"translate", "--x", "1", "--history", "-o", dir + "/o.nc", dir + "/p.nc"});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "torvel-batch: line 2: '1.2.3' is not a valid floating point value\n");
    EXPECT_FALSE(fs::exists(dir + "/o.nc"));
    fs::remove_all(dir);
}

TEST(BatchCommon, HistoryBlockForFunctionOne)
{
    const BatchOutcome o = runBatch({"spaces", "--remove", "--history", "--from", "5", "--to", "3", "-"}, "N1 X1\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "N1 X1\n");
    EXPECT_EQ(o.err,
        "[Função1]\nFunção aplicadada da linha 5 até a linha 3 do arquivo\nRemovido espaço em branco do arquivo\n"
        "[Fim Função1]\n\n");

    // The block is UTF-8 also when the file's own bytes in it are Windows-1252.
    const BatchOutcome w
        = runBatch({"edit-line", "--line", "1", "--text", "(X)", "--history", "-"}, "(OPERA\xc7\xc3O)\n");
    EXPECT_EQ(w.status, 0);
    EXPECT_EQ(w.out, "(X)\n");
    EXPECT_EQ(w.err,
        "[Função1]\nEditado a linha número 1\nTexto antigo: \"(OPERAÇÃO)\"\nTexto novo: \"(X)\"\n[Fim Função1]\n\n");
}

TEST(BatchCommon, ReadsAProgramFromAPipe)
{
    std::string program;
    for (int i = 1; i <= 40000; ++i)
        program += "N" + std::to_string(i * 10) + " G01 X" + std::to_string(i) + ".5 Y-2\r\n";
    const BatchOutcome o = runBatchFromPipe({"spaces", "--remove", "--history", "-"}, program);
    EXPECT_EQ(o.status, 0) << o.err;
    ASSERT_EQ(o.out.size(), program.size() - 3 * 40000);
    EXPECT_EQ(o.out.substr(0, 17), "N10G01X1.5Y-2\r\nN2");
    EXPECT_EQ(o.out.substr(o.out.size() - 23), "N400000G01X40000.5Y-2\r\n");
    EXPECT_NE(o.err.find("Removido espaço em branco do arquivo"), std::string::npos);

    // An empty pipe is an empty program.
    const BatchOutcome empty = runBatchFromPipe({"renumber", "-"}, "");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

TEST(BatchCommon, HtmlListingColouredFromTheSettings)
{
    const std::string dir = freshFolder("html");
    writeAll(dir + "/Torvel.ini", "[CorG]\r\nValor=255\r\n[CorX]\r\nValor=16711680\r\n");
    writeAll(dir + "/p.nc", "G01 X1 (a<b)\r\n%\r\n");
    const BatchOutcome o = runBatch({"html", "--settings", dir + "/Torvel.ini", dir + "/p.nc"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out.rfind("<!DOCTYPE html>", 0), 0u) << o.out.substr(0, 40);
    EXPECT_NE(o.out.find(".t18 { color: #ff0000; }"), std::string::npos); // G
    EXPECT_NE(o.out.find(".t10 { color: #0000ff; }"), std::string::npos); // X
    EXPECT_NE(o.out.find("<pre>\n<span class=\"t18\">G01</span><span class=\"t4\"> </span>"
                         "<span class=\"t10\">X1</span><span class=\"t4\"> </span>"
                         "<span class=\"t0\">(a&lt;b)</span>\n<span class=\"t13\">%</span>"),
        std::string::npos)
        << o.out;

    // To a file with -o; a settings file that is not there gives the default colours.
    const BatchOutcome toFile
        = runBatch({"html", "--settings", dir + "/none.ini", "-o", dir + "/p.html", dir + "/p.nc"});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    const std::string page = readAll(dir + "/p.html");
    EXPECT_NE(page.find(".t18 { color: #000000; }"), std::string::npos);
    EXPECT_NE(page.find("<span class=\"t18\">G01</span>"), std::string::npos);

    const BatchOutcome refused = runBatch({"html", "--in-place", dir + "/p.nc"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "torvel-batch: html takes no option '--in-place'\n");
    fs::remove_all(dir);
}

TEST(BatchCommon, PlotAndInfoReportTheToolpathOfTheFileAsRead)
{
    const std::string dir = freshFolder("reports");
    // CR breaks, as the editor reads them: eight lines, the parameter on the seventh.
    const std::string program = "G21\rG0 X0 Y0 Z5\rG1 Z-1 F100\rG2 X10 Y0 I5 J0\rT2 M6\rG0 Z5\r#1=2\rM30\r";
    writeAll(dir + "/p.nc", program);

    const BatchOutcome info = runBatch({"info", dir + "/p.nc"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.err, "");
    // The arc bulges to Y 5 although both its ends lie on Y 0.
    EXPECT_NE(info.out.find("lines: 8\nunits: mm\nmotions: 4\n"
                            "extents: min 0.0000 0.0000 -1.0000 max 10.0000 5.0000 5.0000\n"),
        std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("feed_length_mm: 21.7080\nrapid_length_mm: 6.0000\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("tools: 2\nnotes: 1\nnote: line 7: "), std::string::npos) << info.out;

    const BatchOutcome json = runBatch({"info", "--json", "-"}, program);
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"lines\":8,\"units\":\"mm\",", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"tools\":[2],\"notes\":[{\"line\":7,"), std::string::npos) << json.out;

    const BatchOutcome plot
        = runBatch({"plot", "--view", "xz", "--width", "300", "--height", "200", "-o", dir + "/p.svg", dir + "/p.nc"});
    EXPECT_EQ(plot.status, 0) << plot.err;
    EXPECT_EQ(plot.out, "");
    const std::string svg = readAll(dir + "/p.svg");
    EXPECT_NE(svg.find("width=\"300\" height=\"200\" viewBox=\"0 0 300 200\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("<path class=\"t0\""), std::string::npos) << svg;
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    // The same drawing on standard output.
    EXPECT_EQ(runBatch({"plot", "--view", "xz", "--width", "300", "--height", "200", "-"}, program).out, svg);

    const BatchOutcome refused = runBatch({"plot", "--in-place", dir + "/p.nc"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "torvel-batch: plot takes no option '--in-place'\n");
    fs::remove_all(dir);
}
