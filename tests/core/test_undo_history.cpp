#include "core/History.h"
#include "core/UndoRing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace torvel;

namespace {

ProgramText textOf(const std::string& s)
{
    ProgramText t;
    t.setText(s);
    return t;
}

} // namespace

TEST(UndoRing, FortyOneFunctionsThenFortyUndosThenOneMore)
{
    UndoRing ring;
    ProgramText t = textOf("v0");
    for (int f = 1; f <= 41; ++f) {
        ring.store(t);
        t = textOf("v" + std::to_string(f));
        if (f % 7 == 0)
            ring.compact(); // compressed and shared slots restore alike
    }
    EXPECT_EQ(ring.index(), 1); // the 41st overwrote slot 1
    for (int u = 0; u < 40; ++u) {
        EXPECT_TRUE(ring.undo(t));
        EXPECT_EQ(t.text(), "v" + std::to_string(40 - u));
    }
    EXPECT_EQ(t.text(), "v1"); // the text before function 2
    EXPECT_FALSE(ring.buttonEnabled());
    EXPECT_FALSE(ring.undo(t));
    EXPECT_EQ(t.text(), "v1");
}

TEST(UndoRing, ThreeFunctionsThreeUndosDisableTheButton)
{
    UndoRing ring;
    ProgramText t = textOf("a");
    for (const char* next : {"b", "c", "d"}) {
        ring.store(t);
        t = textOf(next);
    }
    EXPECT_TRUE(ring.buttonEnabled());
    ring.undo(t);
    ring.undo(t);
    EXPECT_TRUE(ring.buttonEnabled());
    ring.undo(t);
    EXPECT_EQ(t.text(), "a");
    EXPECT_FALSE(ring.buttonEnabled());
    EXPECT_EQ(ring.index(), 0);
}

TEST(UndoRing, EmptyAndBlankTextsAreUndoneExactly)
{
    for (const std::string& before : {std::string(), std::string("  \r\n\t"), std::string("N1\r\n")}) {
        UndoRing ring;
        ProgramText t = textOf(before);
        if (before == "N1\r\n")
            t.append(""); // a final empty line survives
        const ProgramText original = t;
        ring.store(t);
        ring.compact();
        t = textOf("changed");
        EXPECT_TRUE(ring.undo(t));
        EXPECT_EQ(t, original);
    }
}

TEST(UndoRing, CompressedSnapshotsKeepLinesThatHoldLineBreaks)
{
    ProgramText t;
    t.append("N1");
    t.append("a\nb"); // a typed text may carry a break inside one line
    t.append("");
    t.append(std::string(3 << 20, 'x')); // several compression pieces
    const ProgramText original = t;
    UndoRing ring;
    ring.store(t);
    ring.compact();
    t.clear();
    ring.undo(t);
    EXPECT_EQ(t, original);
}

TEST(UndoRing, SnapshotsCompressedByTheWorkerRestoreExactlyWheneverUndoComes)
{
    std::string big;
    for (int i = 0; i < 300000; ++i)
        big += "N" + std::to_string(i) + " G01 X" + std::to_string(i % 977) + "\r\n";
    const ProgramText original = textOf(big);
    // Undo at once (the worker has not started or is reading the copy), later (compressed),
    // and a function whose snapshot replaces one under way.
    for (int waitMs : {0, 1, 5, 20, -1}) {
        UndoRing ring;
        ProgramText t = original;
        ring.store(t);
        t.replace(0, "changed");
        ring.compactInBackground();
        if (waitMs < 0)
            ring.waitForCompaction();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        ring.store(t);
        ring.compactInBackground();
        t.replace(1, "changed again");
        EXPECT_TRUE(ring.undo(t));
        EXPECT_EQ(t.line(0), "changed");
        EXPECT_EQ(t.line(1), original.line(1));
        EXPECT_TRUE(ring.undo(t));
        EXPECT_EQ(t, original) << waitMs;
    }
    // Reset and the ring's end while the worker compresses: it stops, nothing waits on it long.
    UndoRing ring;
    ring.store(original);
    ring.compactInBackground();
    ring.reset(true);
    EXPECT_EQ(ring.memoryBytes(), 0u);
    ring.store(original);
    ring.store(original);
    ring.compactInBackground();
    ring.waitForCompaction();
    EXPECT_LT(ring.memoryBytes(), original.byteSize() / 2);
    ring.store(original);
    ring.compactInBackground();
}

TEST(UndoRing, WithoutSnapshotsCountsButKeepsNothing)
{
    UndoRing ring(UndoRing::NoSnapshots {});
    ProgramText text = textOf("N10 X1");
    ring.store(text);
    text.replace(0, "N10X1");
    EXPECT_EQ(ring.index(), 1);
    EXPECT_TRUE(ring.buttonEnabled());
    EXPECT_FALSE(ring.slotOccupied(1));
    EXPECT_FALSE(ring.undo(text));
    EXPECT_EQ(text.line(0), "N10X1");
    EXPECT_EQ(ring.memoryBytes(), 0u);
}

TEST(UndoRing, CloseKeepsTheButtonOpenClearsIt)
{
    UndoRing ring;
    ProgramText t = textOf("a");
    ring.store(t);
    ring.reset(false);
    EXPECT_TRUE(ring.buttonEnabled());
    EXPECT_EQ(ring.index(), 0);
    EXPECT_FALSE(ring.undo(t)); // nothing to undo disables it
    EXPECT_FALSE(ring.buttonEnabled());
    ring.store(t);
    ring.reset(true);
    EXPECT_FALSE(ring.buttonEnabled());
}

TEST(History, ListAndLogBlocks)
{
    History h;
    EXPECT_EQ(h.record("AddEspaço", "Função Aplicada em todo Arquivo\r\nRemovido espaço em branco do arquivo"), 1);
    EXPECT_EQ(h.record("Trans_XYZ", "linha\r\n"), 2);
    EXPECT_EQ(h.items(), (std::vector<std::string> {"Todas Funções", "1-AddEspaço", "2-Trans_XYZ"}));
    EXPECT_EQ(h.log(),
        (std::vector<std::string> {"[Função1]", "Função Aplicada em todo Arquivo",
            "Removido espaço em branco do arquivo", "[Fim Função1]", "", "[Função2]", "linha", "", "[Fim Função2]",
            ""}));
    EXPECT_EQ(History::blockText(1, "a\r\nb"), "[Função1]\na\nb\n[Fim Função1]\n\n");
}

TEST(History, ViewerExtractsOneFunctionByWholeMarkerLines)
{
    History h;
    for (int k = 1; k <= 10; ++k)
        h.record("T", "body" + std::to_string(k));
    EXPECT_EQ(h.viewerLines(1), std::vector<std::string> {"body1"});
    EXPECT_EQ(h.viewerLines(10), std::vector<std::string> {"body10"});
    EXPECT_EQ(h.viewerLines(0).size(), h.log().size());
    EXPECT_EQ(h.viewerLines(-1).size(), h.log().size());
    EXPECT_TRUE(h.viewerLines(11).empty());
    EXPECT_EQ(History::viewerCaption(0), " Dados de todas as funções aplicadas no arquivo ");
    EXPECT_EQ(History::viewerCaption(3), " Dados da função número 3 aplicada no arquivo ");

    // After a close the numbers start again while the log keeps the old blocks.
    h.clearList();
    h.record("T", "again1");
    EXPECT_EQ(h.viewerLines(1), (std::vector<std::string> {"body1", "again1"}));
    EXPECT_EQ(h.items().size(), 2u);
}
