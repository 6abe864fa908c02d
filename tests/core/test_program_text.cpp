#include "core/Errors.h"
#include "core/ProgramText.h"

#include <gtest/gtest.h>

#include <functional>

#include <climits>
#include <optional>

using namespace torvel;

namespace {

struct LoadCase {
    std::string bytes;
    std::vector<std::string> lines;
    LineBreak style;
    std::string saved;
};

std::vector<std::string> linesOf(const ProgramText& t) { return {t.lines().begin(), t.lines().end()}; }

} // namespace

TEST(ProgramText, LoadsAndSavesEveryLineBreakStyle)
{
    const std::vector<LoadCase> cases = {
        {"", {}, LineBreak::CrLf, ""},
        {"N10\r\nN20\r\n", {"N10", "N20"}, LineBreak::CrLf, "N10\r\nN20\r\n"},
        {"N10\r\nN20", {"N10", "N20"}, LineBreak::CrLf, "N10\r\nN20\r\n"},
        {"N10\nN20\n", {"N10", "N20"}, LineBreak::Lf, "N10\nN20\n"},
        {"N10\rN20\r", {"N10", "N20"}, LineBreak::Cr, "N10\rN20\r"},
        {"N10\n\rN20", {"N10", "", "N20"}, LineBreak::CrLf, "N10\r\n\r\nN20\r\n"},
        {"N10\r\nN20\nN30", {"N10", "N20", "N30"}, LineBreak::CrLf, "N10\r\nN20\r\nN30\r\n"},
        {"single", {"single"}, LineBreak::CrLf, "single\r\n"},
        {"\n", {""}, LineBreak::Lf, "\n"},
        {"\r\r\n", {"", ""}, LineBreak::CrLf, "\r\n\r\n"},
        {std::string("A\0B\xff\n", 5), {std::string("A\0B\xff", 4)}, LineBreak::Lf, std::string("A\0B\xff\n", 5)},
    };
    for (const auto& c : cases) {
        const ProgramText t = ProgramText::fromFileBytes(c.bytes);
        EXPECT_EQ(linesOf(t), c.lines) << testing::PrintToString(c.bytes);
        EXPECT_EQ(t.lineBreak(), c.style) << testing::PrintToString(c.bytes);
        EXPECT_EQ(t.toFileBytes(), c.saved) << testing::PrintToString(c.bytes);
    }
}

TEST(ProgramText, LineOperationsKeepTheirEdgeBehaviour)
{
    ProgramText t = ProgramText::fromFileBytes("A\nB\nC\n");
    EXPECT_EQ(t.line(-1), "");
    EXPECT_EQ(t.line(3), "");
    t.replace(3, "D");
    EXPECT_EQ(t.count(), 4u);
    EXPECT_EQ(t.line(3), "D");
    t.replace(0, "a");
    t.insert(0, "top");
    t.insert(5, "end");
    EXPECT_EQ(t.text(), "top\r\na\r\nB\r\nC\r\nD\r\nend");
    try {
        t.replace(7, "x");
        FAIL();
    } catch (const IndexError& e) {
        EXPECT_STREQ(e.what(), "Invalid stringlist index 7");
    }
    EXPECT_THROW(t.replace(-1, "x"), IndexError);
    EXPECT_THROW(t.insert(7, "x"), IndexError);
    EXPECT_THROW(t.insert(-1, "x"), IndexError);
    t.remove(0);
    EXPECT_EQ(t.line(0), "a");
}

TEST(ProgramText, WholeTextRoundTrip)
{
    ProgramText t;
    t.setLineBreak(LineBreak::Lf);
    t.setText("A\r\nB\r\n");
    EXPECT_EQ(t.count(), 2u);
    EXPECT_EQ(t.text(), "A\r\nB");
    EXPECT_EQ(t.lineBreak(), LineBreak::Lf); // replacing the text keeps the style
    t.setText("A\r\n\r\n");
    EXPECT_EQ(t.count(), 2u); // the last empty line reads back without its break
    t.setText("");
    EXPECT_EQ(t.count(), 0u);
    t.setText("x\ry\nz");
    EXPECT_EQ(t.count(), 3u);
}

TEST(ProgramText, CopiesStayIndependentOfLaterEdits)
{
    ProgramText t = ProgramText::fromFileBytes("N1\nN2\n");
    const ProgramText copy = t;
    for (int i = 0; i < 5000; ++i)
        t.replace(0, std::string(300, static_cast<char>('a' + i % 26)));
    t.remove(1);
    EXPECT_EQ(copy.text(), "N1\r\nN2");
    EXPECT_EQ(t.count(), 1u);
    EXPECT_EQ(t.line(0), std::string(300, static_cast<char>('a' + 4999 % 26)));
}

// The list of lines is shared by copies until one side changes: each change, on
// either side, leaves the other as it was.
TEST(ProgramText, EachChangeLeavesTheOtherCopyAsItWas)
{
    const std::vector<std::pair<const char*, std::function<void(ProgramText&)>>> changes = {
        {"replace", [](ProgramText& t) { t.replace(1, "X9"); }},
        {"append", [](ProgramText& t) { t.append("X9"); }},
        {"insert", [](ProgramText& t) { t.insert(0, "X9"); }},
        {"remove", [](ProgramText& t) { t.remove(2); }},
        {"clear", [](ProgramText& t) { t.clear(); }},
        {"setText", [](ProgramText& t) { t.setText("X9\nY9"); }},
        {"replaceAllLines",
            [](ProgramText& t) {
                t.replaceAllLines({t.line(2), t.storeBytes("X9")});
            }},
    };
    for (const auto& [name, change] : changes) {
        for (bool changeTheCopy : {false, true}) {
            ProgramText original = ProgramText::fromFileBytes("N1\nN2\nN3\n");
            ProgramText copy = original;
            ProgramText& changed = changeTheCopy ? copy : original;
            const ProgramText& kept = changeTheCopy ? original : copy;
            change(changed);
            changed.append("N4"); // into storage the other side never wrote
            EXPECT_EQ(kept.text(), "N1\r\nN2\r\nN3") << name << changeTheCopy;
            EXPECT_NE(changed.text(), kept.text()) << name << changeTheCopy;
            ProgramText again = kept;
            again.append("N5");
            EXPECT_EQ(changed.line(static_cast<long long>(changed.count()) - 1), "N4") << name << changeTheCopy;
        }
    }
}

TEST(ProgramText, CompactionKeepsEveryLine)
{
    ProgramText t;
    for (int i = 0; i < 1000; ++i)
        t.append("line" + std::to_string(i));
    const std::string big(100000, 'x');
    for (int round = 0; round < 1000; ++round)
        t.replace(round % 1000, big.substr(0, 70000 + static_cast<size_t>(round))); // forces compactions
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(t.line(i).size(), 70000u + static_cast<size_t>(i));

    // One line above the compaction threshold made empty: the compaction copies an empty line.
    ProgramText one = ProgramText::fromFileBytes(std::string(65 << 20, 'x') + "\n");
    one.replace(0, "");
    EXPECT_EQ(one.count(), 1u);
    one.replace(0, "N10");
    EXPECT_EQ(one.line(0), "N10");
}

TEST(ProgramText, WrittenPiecesGiveTheSavedBytesWhateverTheLayout)
{
    struct Case {
        const char* what;
        std::string bytes;
        int editEvery; // 0: no edits; else every n-th line, from the last up, so no two lie in order
        size_t editLength; // long edits go out where they lie, short ones are gathered
        std::optional<LineBreak> styleAfterLoad;
    };
    std::string lf, mixed;
    for (int i = 0; i < 3000; ++i) {
        lf += "N" + std::to_string(i) + " G01\n";
        mixed += "N" + std::to_string(i) + (i % 3 ? "\r\n" : (i % 2 ? "\n" : "\r"));
    }
    const std::vector<Case> cases = {
        {"more pieces than one writev takes", lf, 1, 300, {}},
        {"short edits among the read lines", lf, 7, 3, {}},
        {"edits to empty lines", lf, 5, 0, {}},
        {"separators that differ from the style", mixed, 0, 0, {}},
        {"a style changed after loading", lf, 4, 400, LineBreak::CrLf},
        {"empty lines and no final break", "\r\n\r\nN1\r\n\r\nN2", 2, 1, {}},
        {"no lines", "", 0, 0, {}},
    };
    for (const Case& c : cases) {
        ProgramText t = ProgramText::fromFileBytes(c.bytes);
        if (c.styleAfterLoad)
            t.setLineBreak(*c.styleAfterLoad);
        for (long long i = static_cast<long long>(t.count()) - 1; c.editEvery && i >= 0; i -= c.editEvery)
            t.replace(i, std::string(c.editLength, static_cast<char>('a' + i % 26)));
        std::string written;
        int calls = 0;
        t.writeFilePieces([&](const iovec* pieces, int count) {
            ++calls;
            EXPECT_LE(count, IOV_MAX) << c.what;
            for (int i = 0; i < count; ++i)
                written.append(static_cast<const char*>(pieces[i].iov_base), pieces[i].iov_len);
        });
        EXPECT_EQ(written, t.toFileBytes()) << c.what;
        if (c.editEvery == 1) {
            EXPECT_GT(calls, 1) << c.what;
        }
    }
}

TEST(ProgramText, TheSearchForAHolderPassesOverNoLineThatHoldsTheText)
{
    // Lines in order, rewritten lines among them (two chunks in turn), inserted ones,
    // lines too short to hold the text, occurrences across separators and, as the first
    // line grows byte by byte, across every place where the search stops a step.
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += (i % 97 == 0 ? "N" + std::to_string(i) + " G01 X1" : i % 13 == 0 ? "1" : "Y2 G0") + "\r\n";
    struct Case {
        const char* what;
        int editEvery; // 0: as loaded; else every n-th line gets a new text in the storage
        std::string edit;
    };
    const std::vector<Case> cases = {
        {"as loaded", 0, ""},
        {"every other line rewritten", 2, "G01 Z5"},
        {"every fifth line rewritten without the text", 5, "Z5"},
        {"every line rewritten", 1, "X1G01"},
    };
    for (const Case& c : cases) {
        for (size_t first = 0; first < 12; ++first) {
            ProgramText t = ProgramText::fromFileBytes(std::string(first, 'x') + "\r\n" + bytes);
            for (long long i = 1; c.editEvery && i < static_cast<long long>(t.count()); i += c.editEvery)
                t.replace(i, c.edit);
            t.insert(500, "G01");
            t.insert(501, "");
            for (std::string_view what : {"G01", "1", "\r\nY", "1\r\n1", "@@@", "G01 X1\r\n1\r\nY2"}) {
                const long long last = static_cast<long long>(t.count()) - 1;
                std::vector<long long> found, expected;
                for (long long i = 0; i <= last; ++i)
                    if (t.line(i).find(what) != std::string_view::npos)
                        expected.push_back(i);
                for (long long i = t.firstLineThatMayHold(what, 0, last); i <= last;
                     i = t.firstLineThatMayHold(what, i + 1, last)) {
                    if (t.line(i).find(what) != std::string_view::npos)
                        found.push_back(i);
                    if (i == last)
                        break;
                }
                EXPECT_EQ(found, expected) << c.what << " / " << what << " / " << first;
            }
            EXPECT_EQ(t.firstLineThatMayHold("@@@", 0, 99), 100) << c.what;
        }
    }
    // The search takes a few hundred bytes first: a text found across that step's end.
    for (size_t before = 240; before < 262; ++before) {
        const ProgramText t = ProgramText::fromFileBytes("Y2 G0 Z0.5\n" + std::string(before, 'x') + "G01 X1\n");
        EXPECT_EQ(t.firstLineThatMayHold("G01 X1", 0, 1), 1) << before;
    }
}
