#include "core/GoToTarget.h"

#include <gtest/gtest.h>

using namespace torvel;

TEST(GoTo, LeadsToALineOrAnNBlock)
{
    const ProgramText text = ProgramText::fromFileBytes(
        "%\r\nO1001\r\nN10 G00\r\n  /N0020 X1\r\n/2 n30 Y1\r\nX5 N40\r\nN10 G01\r\nN050\r\n(N60)\r\n");
    const std::vector<std::pair<std::string, long long>> found
        = {{"1", 0}, {" 3 ", 2}, {"0009", 8}, {"9", 8}, {"N10", 2}, {"n20", 3}, {"N 30", 4}, {"N0050", 7}, {"N50", 7}};
    for (const auto& [typed, line] : found) {
        const GoToResult r = resolveGoTo(text, typed);
        EXPECT_TRUE(r.found()) << typed << ": " << r.error;
        EXPECT_EQ(r.line, line) << typed;
    }
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"10", "Linha 10 inexistente: o programa tem 9 linhas."},
        {"0", "Linha 0 inexistente: o programa tem 9 linhas."},
        {"99999999999999999999999", "Linha 99999999999999999999999 inexistente: o programa tem 9 linhas."},
        {"N40", "Bloco N40 não encontrado."}, // not the line's first word
        {"N60", "Bloco N60 não encontrado."}, // in a comment
        {"", "Digite um número de linha ou um número de bloco como N1230."},
        {"N", "Digite um número de linha ou um número de bloco como N1230."},
        {"-3", "Digite um número de linha ou um número de bloco como N1230."},
        {"X10", "Digite um número de linha ou um número de bloco como N1230."},
    };
    for (const auto& [typed, error] : refused) {
        const GoToResult r = resolveGoTo(text, typed);
        EXPECT_FALSE(r.found()) << typed;
        EXPECT_EQ(r.error, error) << typed;
    }
    EXPECT_EQ(
        resolveGoTo(ProgramText::fromFileBytes("N1\n"), "2").error, "Linha 2 inexistente: o programa tem 1 linha.");
}
