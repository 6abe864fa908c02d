#include "BatchRunner.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::vector<std::string> args; // function and its options; "-" and --history are added
    std::string input, output;
    std::string description; // the history lines behind the range header ("" for line commands: whole text)
    bool lineCommand = false;
};

std::string historyBlock(const Case& c)
{
    const std::string body = c.lineCommand ? c.description : "Função Aplicada em todo Arquivo\n" + c.description;
    return "[Função1]\n" + body + "\n[Fim Função1]\n\n";
}

void check(const std::vector<Case>& cases)
{
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--history");
        args.push_back("-");
        const BatchOutcome o = runBatch(args, c.input);
        EXPECT_EQ(o.status, 0) << testing::PrintToString(c.args) << o.err;
        EXPECT_EQ(o.out, c.output) << testing::PrintToString(c.args) << " on " << testing::PrintToString(c.input);
        EXPECT_EQ(o.err, historyBlock(c)) << testing::PrintToString(c.args);
    }
}

} // namespace

TEST(BatchFunctions, Spaces)
{
    const std::string removed = "Removido espaço em branco do arquivo";
    const std::string added = "Adcionado espaço em branco no arquivo";
    check({
        {{"spaces", "--remove"}, "N10 G01 X10.5 Y-3 (FACE MILL)\nN20 M30\n%\n#1 = 5\n  N10  \n",
            "N10G01X10.5Y-3(FACE MILL)\nN20M30\n%\n#1 = 5\n  N10  \n", removed},
        {{"spaces", "--remove"}, "g01 x5\nG01 (A B) X5\nN1\tX 2\n", "g01x5\nG01(A B) X5\nN1\tX2\n", removed},
        {{"spaces", "--add"}, "N10G01X10.5Y-3(FACE MILL)\nN20 M30\nN30 G0 E5 U2\ng01 x5\n",
            "N10 G01 X10.5 Y-3 (FACE MILL)\nN20  M30\nN30  G0 E5 U2\ng01 x5\n", added},
        {{"spaces", "--add"}, "G01X5\nG01\n(TEXT)\n%\n#1 = 5\n", " G01 X5\nG01\n(TEXT)\n%\n#1 = 5\n", added},
    });
}

TEST(BatchFunctions, Renumber)
{
    const std::string input = "%\nO1000\nN10 G00 X0 Y0\nN20G01X5\nG01 X7\nN0030 M03\n  N40 T1\n(N60 COMMENT)\n\nN100\n";
    const std::string head = "Renumerado número de blocos do arquivo e/ou definido o número de digitos significativos ";
    check({
        {{"renumber", "--start", "100", "--step", "10", "--digits", "4"}, input,
            "%\nO1000\nN0100 G00 X0 Y0\nN0110G01X5\nG01 X7\nN0120 M03\nN0130   T1\n(N60 COMMENT)\n\nN0140\n",
            head
                + "\nNúmero de dígitos significativos aplicada na função = 4\nNúmero do bloco inicial para a função = "
                  "100\nValor do incremento de bloco para a função = 10"},
        {{"renumber", "--digits", "3"}, input,
            "%\nO1000\nN010 G00 X0 Y0\nN020G01X5\nG01 X7\nN030 M03\nN040   T1\n(N60 COMMENT)\n\nN100\n",
            head + "\nNúmero de dígitos significativos aplicada na função = 3"},
        {{"renumber"}, input, input, head},
        {{"renumber", "--step", "5"}, "N7\nN 50 X1\nN10N20 X1\nN70 #1=5\nN80%\nn5\nNN90\n",
            "N0\nN 50 X1\nN5N20 X1\nN10 #1=5\nN15%\nn5\nNN90\n",
            head + "\nNúmero do bloco inicial para a função = 0\nValor do incremento de bloco para a função = 5"},
        {{"renumber", "--digits", "1"}, "N0030 X1\nN000\nN123456789012345678901234567890\n",
            "N30 X1\nN0\nN123456789012345678901234567890\n",
            head + "\nNúmero de dígitos significativos aplicada na função = 1"},
    });
}

TEST(BatchFunctions, ReplaceAndDelete)
{
    check({
        {{"replace", "--find", "X1", "--with", "Y"}, "N10 X10 X1\nN30 g01\n", "N10 Y0 X1\nN30 g01\n",
            "Substituido a palavra \"X1\" pela palavra \"Y\" no arquivo"},
        {{"replace", "--find", "M08", "--with", ""}, "N40 M08\n", "N40 \n",
            "Substituido a palavra \"M08\" pela palavra \"\" no arquivo"},
        {{"replace", "--find", "G01", "--with", "G00"}, "N20 G01 G01\n", "N20 G00 G01\n",
            "Substituido a palavra \"G01\" pela palavra \"G00\" no arquivo"},
        {{"delete", "--find", "X5", "--text"}, "N50 G01 X5 M08\n", "N50 G01  M08\n",
            "Deletado a palavra \"X5\" do arquivo"},
        {{"delete", "--find", "M08", "--text"}, "M08 N60\n", " N60\n", "Deletado a palavra \"M08\" do arquivo"},
        {{"delete", "--find", "M08", "--lines"}, "N10\nN20 M08\nN30 M08\nN40\nN50 M08\n", "N10\nN40\n",
            "Deletado a linha do arquivo que possuia a palavra \"M08\""},
        {{"delete", "--find", " ", "--lines"}, "A B\n   \nC\n", "   \nC\n",
            "Deletado a linha do arquivo que possuia a palavra \" \""},
    });
}

TEST(BatchFunctions, CommentAndInsert)
{
    const std::string added = "Adicionado a palavra \"M08\" na linha com a palavra \"M06\"\n";
    check({
        {{"comment", "--find", "M08", "--open", "(", "--close", ")"},
            "N10 M08\n  N20 M08\n(N30 M08)\nN40 m08\nN50 M09\n",
            "(N10 M08)\n(  N20 M08)\n((N30 M08))\nN40 m08\nN50 M09\n",
            "Comentado a linha com palavra \"M08\" utilizando os caracteres \"()\""},
        {{"comment", "--find", "M08", "--open", "{", "--close", "]"}, "N10 M08\n", "{N10 M08]\n",
            "Comentado a linha com palavra \"M08\" utilizando os caracteres \"{]\""},
        {{"insert", "--find", "M06", "--text", "M08", "--at-end"}, "N10 T1 M06\nN20 T2 m06\n",
            "N10 T1 M06M08\nN20 T2 m06\n", added + "Adicionado dados no final da linha"},
        {{"insert", "--find", "M06", "--text", "M08", "--before"}, "N10 T1 M06\nN20 M06\nN30\n",
            "N00 M08\nN10 T1 M06\nN00 M08\nN20 M06\nN30\n", added + "Adicionado dados antes da linha"},
        {{"insert", "--find", "M06", "--text", "M08", "--after"}, "N10 T1 M06\nN20 M06\n",
            "N10 T1 M06\nN00 M08\nN20 M06\nN00 M08\n", added + "Adicionado dados depois da linha"},
    });
}

TEST(BatchFunctions, InsertOnASubRangeExaminesOnlyTheOriginalLines)
{
    const BatchOutcome o
        = runBatch({"insert", "--find", "M6", "--text", "X M6", "--before", "--from", "2", "--to", "3", "-"},
            "M6 a\nM6 b\nM6 c\nM6 d\n");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "M6 a\nN00 X M6\nM6 b\nN00 X M6\nM6 c\nM6 d\n");
}

TEST(BatchFunctions, LineCommands)
{
    const std::string abc = "A\nB\nC\n";
    std::vector<Case> cases = {
        {{"edit-line", "--line", "2", "--text", "X"}, abc, "A\nX\nC\n",
            "Editado a linha número 2\nTexto antigo: \"B\"\nTexto novo: \"X\""},
        {{"edit-line", "--line", "9", "--text", "C"}, abc, abc,
            "Editado a linha número 3\nTexto antigo: \"C\"\nTexto novo: \"C\""},
        {{"edit-line", "--line", "1", "--text", "N1"}, "", "N1\r\n", // an empty file saves with CR LF
            "Editado a linha número 1\nTexto antigo: \"\"\nTexto novo: \"N1\""},
        {{"insert-line", "--line", "1"}, abc, "\nA\nB\nC\n", "Função inserir linha\nInserido a linha número 1"},
        {{"insert-line", "--line", "3"}, abc, "A\nB\n\nC\n", "Função inserir linha\nInserido a linha número 3"},
        {{"delete-line", "--line", "7"}, abc, "A\nB\n", "Função deletar linha\nDeletado a linha número 3"},
        {{"delete-line", "--line", "99999999999999999999"}, abc, "A\nB\n",
            "Função deletar linha\nDeletado a linha número 3"},
        {{"delete-line", "--line", "1"}, abc, "B\nC\n", "Função deletar linha\nDeletado a linha número 1"},
        {{"delete-line", "--line", "1"}, "A\n", "\n", "Função deletar linha\nDeletado a linha número 1"},
    };
    for (auto& c : cases)
        c.lineCommand = true;
    check(cases);
}

TEST(BatchFunctions, Translate)
{
    const std::string input = "N20 G01 X10.5 Y-3 Z2\nN30 G00 X-2.25\nN40 G02 X5 Y5 I2.5 J0\nN50 (X10 Y10)\nN60 M30\n";
    const std::string description
        = "Adicionado valor aos Eixos:\nIncrementado ao eixo \"X\" o valor de 2,25\n"
          "Incrementado ao eixo \"Y\" o valor de -1\nIncrementado ao eixo \"Z\" o valor de 0,5";
    const std::vector<std::string> args
        = {"translate", "--decimal-separator", ",", "--x", "2,25", "--y", "-1", "--z", "0,5"};
    std::vector<std::string> plus = args;
    plus.push_back("--plus");
    check({
        {args, input, "N20 G01 X12.75 Y-4 Z2.5\nN30 G00 X0\nN40 G02 X7.25 Y4 I2.5 J0\nN50 (X10 Y10)\nN60 M30\n",
            description},
        {plus, input, "N20 G01 X+12.75 Y-4 Z+2.5\nN30 G00 X+0\nN40 G02 X+7.25 Y+4 I2.5 J0\nN50 (X10 Y10)\nN60 M30\n",
            description},
        {{"translate", "--decimal-separator", ",", "--x", "2,25"}, "N20 G01 X10.5 Y-3\nX10,5\n",
            "N20 G01 X12.75 Y-3\nX12.75\n", "Adicionado valor aos Eixos:\nIncrementado ao eixo \"X\" o valor de 2,25"},
        {{"translate", "--x", "1"},
            "N30 G00 X10. Y5\nX.5\nX+5 X-1\nx10\nX 10\nG01 X10 (X20)\nG01 X10(NOTA)\n%X10\nX5E-5\n",
            "N30 G00 X11 Y5\nX1.5\nX+6 X+0\nx10\nX 10\nG01 X11 (X20)\nG01 X11(NOTA)\n%X10\nX6E-5\n",
            "Adicionado valor aos Eixos:\nIncrementado ao eixo \"X\" o valor de 1"},
        {{"translate", "--x", "-123.4"}, "X123.456\n", "X0.056\n",
            "Adicionado valor aos Eixos:\nIncrementado ao eixo \"X\" o valor de -123.4"},
        {{"translate", "--z", "0"}, "Z1.50 Z2. X1.50\nZ0.00005\n", "Z1.5 Z2 X1.50\nZ5E-5\n",
            "Adicionado valor aos Eixos:\nIncrementado ao eixo \"Z\" o valor de 0"},
    });
}

TEST(BatchFunctions, TranslateStopsAtTheFirstWordOfABadAxis)
{
    EXPECT_EQ(runBatch({"translate", "--x", "1", "--y", "", "-"}, "X1\nX2 Y3\n").err,
        "torvel-batch: line 2: '' is not a valid floating point value\n");
    EXPECT_EQ(runBatch({"translate", "--x", "1", "-"}, "X10,5\n").err,
        "torvel-batch: line 1: '10,5' is not a valid floating point value\n");
    const BatchOutcome fine = runBatch({"translate", "--x", "1", "--y", "", "-"}, "X1\n");
    EXPECT_EQ(fine.status, 0);
    EXPECT_EQ(fine.out, "X2\n");
}

TEST(BatchFunctions, Mirror)
{
    const std::string description
        = "Aplicada a função espelhamento conforme:\n- Espelhamento do eixo X\n- Espelhamento do eixo Y\n"
          "- Substituido código G02 por G03\n- Substituido código G03 por G02\n- Substituido código G41 por G42\n"
          "- Substituido código G42 por G41\n- Acrescentado caracter \"+\" nas coordenadas positivas";
    check({
        {{"mirror", "--x", "--y", "--g02-g03", "--g03-g02", "--g41-g42", "--g42-g41", "--plus"},
            "N10 G41 D1 X10.5 Y-3\nN20 G02 X5 Y5 I2.5 J0\nN30 G03 X-2 Y0\nN40 G2 X1\nN50 G21 G3 X-1\n"
            "N60 G28 X0 Y0\nN70 G40 X0 (G02 AQUI)\nN80 g02 x5\n",
            "N10 G42 D1 X-10.5 Y+3\nN20 G03 X-5 Y-5 I2.5 J0\nN30 G02 X+2 Y+0\nN40 G3 X-1\nN50 G21 G2 X+1\n"
            "N60 G28 X+0 Y+0\nN70 G40 X+0 (G03 AQUI)\nN80 g02 x5\n",
            description},
        {{"mirror", "--g02-g03"}, "G02 G03\nG03 X1\nG2 G20\n", "G03 G03\nG03 X1\nG3 G20\n",
            "Aplicada a função espelhamento conforme:\n- Substituido código G02 por G03"},
        {{"mirror"}, "X1\n", "X1\n", "Aplicada a função espelhamento conforme:"},
        {{"mirror", "--x"}, "X0 X+5 X10.50\n", "X0 X-5 X-10.5\n",
            "Aplicada a função espelhamento conforme:\n- Espelhamento do eixo X"},
    });
}

TEST(BatchFunctions, Arcs)
{
    const std::string input = "N10 G00 X10 Y5\nN20 G02 I5 J0\nN30 G01 X-3.5\nN40 G03 I1.5 J-2\nN50 G02 I J\n";
    const std::string absolute = "N10 G00 X10 Y5\nN20 G02 I15 J5\nN30 G01 X-3.5\nN40 G03 I-2 J3\nN50 G02 I J\n";
    for (const char* sep : {".", ","}) {
        check({
            {{"arcs", "--absolute", "--decimal-separator", sep}, input, absolute,
                "Convertido coordenadas \"I,J\" para absoluto"},
            {{"arcs", "--incremental", "--decimal-separator", sep}, absolute, input,
                "Convertido coordenadas \"I,J\" para incremental"},
        });
    }
    check({
        {{"arcs", "--absolute", "--plus"}, "N10 G00 X10 Y5\nN20 G02 I5 J0\n", "N10 G00 X10 Y5\nN20 G02 I+15 J+5\n",
            "Convertido coordenadas \"I,J\" para absoluto"},
        // The arc's start point is the reference: the line's own X and Y count from the next line on.
        {{"arcs", "--absolute"}, "N10 G00 X10 Y5\nN20 G02 X20 Y5 I5 J0\nN30 G02 I1 J1\n",
            "N10 G00 X10 Y5\nN20 G02 X20 Y5 I15 J5\nN30 G02 I21 J6\n", "Convertido coordenadas \"I,J\" para absoluto"},
        {{"arcs", "--absolute"}, "X1 (X50)\nI1\nx7 I1\n", "X1 (X50)\nI2\nx7 I2\n",
            "Convertido coordenadas \"I,J\" para absoluto"},
    });
}

TEST(BatchFunctions, VerifyReportsEachLineAndExitsThreeWithTheOutputAsUsual)
{
    const std::string program = "G0 X0 Y0\nG2 X10 Y0 I5 J0\nG3 X20 Y0 I5 J0\n";
    const std::vector<std::string> mirror = {"mirror", "--x", "--g02-g03", "--g03-g02"};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = mirror;
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("-");
        return runBatch(args, program);
    };
    const BatchOutcome plain = with({});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    const BatchOutcome found = with({"--verify"});
    EXPECT_EQ(found.status, 3);
    EXPECT_EQ(found.out, plain.out);
    EXPECT_EQ(found.err, "line 2: centro do arco não espelhado: I5\nline 3: centro do arco não espelhado: I5\n");
    const BatchOutcome sound = with({"--arc-centres", "--verify"});
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_EQ(sound.out, "G0 X0 Y0\nG3 X-10 Y0 I-5 J0\nG2 X-20 Y0 I-5 J0\n");
    EXPECT_EQ(sound.err, "");
    // The history comes first, the findings after it.
    const BatchOutcome both = with({"--history", "--verify"});
    EXPECT_EQ(both.err.rfind("[Função1]\n", 0), 0u) << both.err;
    EXPECT_NE(both.err.find("[Fim Função1]\n\nline 2: "), std::string::npos) << both.err;
    // Verification is no option of the other functions.
    EXPECT_EQ(runBatch({"spaces", "--remove", "--verify", "-"}, program).status, 2);
}

TEST(BatchFunctions, SoundOptionsAndTheirHistoryLine)
{
    check({
        {{"translate", "--x", "1", "--follow-modes"}, "G91 X1\nG53 X0\nG92 X0\nG90 X1\n",
            "G91 X1\nG53 X0\nG92 X0\nG90 X2\n",
            "Adicionado valor aos Eixos:\nIncrementado ao eixo \"X\" o valor de 1\nOpção: seguir modos G91/G53/G92"},
        {{"mirror", "--y", "--g02-g03", "--arc-centres"}, "G2 X1 Y1 I1 J1 (G02)\nG18 G2 X1 Z1 I1 K1\n",
            "G3 X1 Y-1 I1 J-1 (G02)\nG18 G2 X1 Z1 I1 K1\n",
            "Aplicada a função espelhamento conforme:\n- Espelhamento do eixo Y\n- Substituido código G02 por G03\n"
            "Opção: espelhar centros I/J, trocar G02/G03 só no plano do eixo"},
        {{"arcs", "--absolute", "--planes"}, "G18 G0 X10 Z5\nG2 X20 I5 K0\nG76 X1 I2\n",
            "G18 G0 X10 Z5\nG2 X20 I15 K5\nG76 X1 I2\n",
            "Convertido coordenadas \"I,J\" para absoluto\n"
            "Opção: converter no plano do arco (K com Z), só em arcos, sem notação E"},
    });
}
