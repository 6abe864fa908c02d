#pragma once

#include "core/FunctionCall.h"

#include <string>
#include <string_view>
#include <vector>

namespace torvel {

// The function history: the list the user sees beside the text and the log
// of description blocks that the viewer shows.
class History {
public:
    static constexpr const char* kAllFunctions = "Todas Funções";

    // Historico: adds "k-tag" to the list (after "Todas Funções" when the list
    // was empty) and the block "[Funçãok]", description lines, "[Fim Funçãok]", "".
    // The entry keeps `call`, so that the function can be run again. Returns k.
    int record(std::string_view tag, std::string_view description, const FunctionCall& call = {});

    void clearList()
    {
        items_.clear();
        calls_.clear();
    }
    void clearLog() { log_.clear(); }

    // The latest function not yet undone has been undone: a recipe leaves it out.
    void markLatestUndone();
    // The calls of the functions recorded from list item k on (below 1: all of them), in
    // order, without those undone since.
    std::vector<FunctionCall> callsFrom(int k) const;

    const std::vector<std::string>& items() const { return items_; }
    const std::vector<std::string>& log() const { return log_; }

    // What the viewer shows for a selected list index: the whole log for an
    // index below 1, else the lines between the markers of function k.
    std::vector<std::string> viewerLines(int selectedIndex) const;
    static std::string viewerCaption(int selectedIndex);

    // A log block as text, each line ended by LF.
    static std::string blockText(int k, std::string_view description);

private:
    std::vector<std::string> items_;
    std::vector<std::string> log_;
    struct Recorded {
        FunctionCall call;
        bool undone = false;
    };
    std::vector<Recorded> calls_; // one per list item after "Todas Funções"
};

// Splits a description at its CR LF breaks (a final break leaves an empty line).
std::vector<std::string> descriptionLines(std::string_view description);

} // namespace torvel
