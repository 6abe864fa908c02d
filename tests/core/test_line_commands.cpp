#include "LineLists.h"
#include "core/LineCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace torvel;

namespace {

struct ClampCase {
    Lines text;
    long long row, expected;
};

const ClampCase kClampCases[] = {
    {{"A", "B", "C"}, 2, 2},
    {{"A", "B", "C"}, 7, 3},
    {{"A", "B", "C"}, 0, 1},
    {{"A", "B", "C"}, -5, 1},
    {{}, 1, 1},
    {{}, 9, 1},
    {{""}, 3, 1},
};

TEST(LineCommands, ClampRowFollowsTheCaret)
{
    for (const ClampCase& c : kClampCases)
        EXPECT_EQ(clampRow(toText(c.text), c.row), c.expected) << c.row;
}

enum class Command { Edit, Insert, Delete };

struct CommandCase {
    const char* what;
    Command command;
    Lines before;
    long long row;
    std::string typed;
    Lines after;
    long long actedRow, caretRow;
};

const CommandCase kCases[] = {
    {"edit a middle line", Command::Edit, {"N10", "N20", "N30"}, 2, "N25 X1", {"N10", "N25 X1", "N30"}, 2, 2},
    {"edit beyond the last line", Command::Edit, {"N10", "N20", "N30"}, 7, "N35", {"N10", "N20", "N35"}, 3, 3},
    {"edit with the text unchanged", Command::Edit, {"N10", "N20"}, 1, "N10", {"N10", "N20"}, 1, 1},
    {"edit keeps blanks as typed", Command::Edit, {"N10"}, 1, "  N10  ", {"  N10  "}, 1, 1},
    {"edit an empty line", Command::Edit, {""}, 1, "G0", {"G0"}, 1, 1},
    {"edit a text of no lines", Command::Edit, {}, 4, "G0", {"G0"}, 1, 1},
    {"edit to nothing", Command::Edit, {"N10", "N20"}, 2, "", {"N10", ""}, 2, 2},
    {"edit with a typed break", Command::Edit, {"1", "2", "3"}, 2, "A\r\nB", {"1", "A", "B", "3"}, 2, 2},
    {"edit with a final break", Command::Edit, {"1", "2", "3"}, 2, "A\n", {"1", "A", "", "3"}, 2, 2},
    {"edit with lone CR", Command::Edit, {"1"}, 1, "A\rB\n\rC", {"A", "B", "", "C"}, 1, 1},
    {"insert on row 1", Command::Insert, {"N10", "N20"}, 1, "", {"", "N10", "N20"}, 1, 1},
    {"insert on the last row", Command::Insert, {"N10", "N20"}, 2, "", {"N10", "", "N20"}, 2, 2},
    {"insert beyond the last row", Command::Insert, {"N10", "N20"}, 9, "", {"N10", "", "N20"}, 2, 2},
    {"insert on an empty line", Command::Insert, {""}, 1, "", {"", ""}, 1, 1},
    {"insert on a text of no lines", Command::Insert, {}, 1, "", {"", ""}, 1, 1},
    {"delete the only line", Command::Delete, {"N10"}, 1, "", {""}, 1, 1},
    {"delete the last line", Command::Delete, {"N10", "N20", "N30"}, 3, "", {"N10", "N20"}, 3, 2},
    {"delete line 1", Command::Delete, {"N10", "N20", "N30"}, 1, "", {"N20", "N30"}, 1, 1},
    {"delete a middle line", Command::Delete, {"N10", "N20", "N30"}, 2, "", {"N10", "N30"}, 2, 2},
    {"delete beyond the last line", Command::Delete, {"N10", "N20", "N30"}, 99, "", {"N10", "N20"}, 3, 2},
    {"delete below row 1", Command::Delete, {"N10", "N20"}, 0, "", {"N20"}, 1, 1},
    {"delete the last of two empty lines", Command::Delete, {"", ""}, 2, "", {""}, 2, 1},
    {"delete on a text of no lines", Command::Delete, {}, 1, "", {}, 1, 1},
};

TEST(LineCommands, ChangeTheCaretLine)
{
    for (const CommandCase& c : kCases) {
        ProgramText text = toText(c.before);
        LineCommandResult r;
        switch (c.command) {
        case Command::Edit:
            r = editLine(text, c.row, c.typed);
            break;
        case Command::Insert:
            r = insertLine(text, c.row);
            break;
        case Command::Delete:
            r = deleteLine(text, c.row);
            break;
        }
        EXPECT_EQ(toLines(text), c.after) << c.what;
        EXPECT_EQ(r.row, c.actedRow) << c.what;
        EXPECT_EQ(r.caretRow, c.caretRow) << c.what;
    }
}

TEST(LineCommands, Descriptions)
{
    ProgramText text = toText({"N10", "N20 X1", "N30"});
    EXPECT_EQ(editLine(text, 2, "N20 \"Y\"").description,
        "Editado a linha número 2\r\nTexto antigo: \"N20 X1\"\r\nTexto novo: \"N20 \"Y\"\"");
    EXPECT_EQ(editLine(text, 7, "N30").description,
        "Editado a linha número 3\r\nTexto antigo: \"N30\"\r\nTexto novo: \"N30\"");
    EXPECT_EQ(insertLine(text, 7).description, "Função inserir linha\r\nInserido a linha número 3");
    EXPECT_EQ(deleteLine(text, 1).description, "Função deletar linha\r\nDeletado a linha número 1");
    EXPECT_EQ(toLines(text), (Lines {"N20 \"Y\"", "", "N30"}));

    ProgramText empty;
    EXPECT_EQ(
        editLine(empty, 1, "G0").description, "Editado a linha número 1\r\nTexto antigo: \"\"\r\nTexto novo: \"G0\"");
}

TEST(LineCommands, TagsAndDispatch)
{
    EXPECT_EQ(historyTag(LineCommand::Edit), "Editar Linha");
    EXPECT_EQ(historyTag(LineCommand::Insert), "Inserir");
    EXPECT_EQ(historyTag(LineCommand::Delete), "Deletar");
    ProgramText text;
    text.setLines({"N10", "N20"});
    EXPECT_EQ(applyLineCommand(text, LineCommand::Insert, 2).description, insertLine(text, 2).description);
    EXPECT_EQ(toLines(text), (Lines {"N10", "", "", "N20"}));
    EXPECT_EQ(applyLineCommand(text, LineCommand::Delete, 2).row, 2);
    EXPECT_EQ(applyLineCommand(text, LineCommand::Edit, 9, "M30").row, 3);
    EXPECT_EQ(toLines(text), (Lines {"N10", "", "M30"}));
}

} // namespace
