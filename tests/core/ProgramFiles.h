#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// Whole programs for the tests that check a property line by line: the team's small ones
// under tests/data/programs, always there, and the shared samples beside the checkout
// (../shared/samples), which a lone clone does not have.

inline std::vector<std::filesystem::path> programsIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const auto ext = entry.path().extension();
        if (entry.is_regular_file() && (ext == ".nc" || ext == ".ngc" || ext == ".gcode"))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

inline std::vector<std::filesystem::path> teamPrograms()
{
    return programsIn(std::filesystem::path(TORVEL_TEST_DATA) / "programs");
}

inline bool samplesPresent() { return std::filesystem::is_directory(TORVEL_SAMPLES_DIR); }

inline std::vector<std::filesystem::path> samplePrograms() { return programsIn(TORVEL_SAMPLES_DIR); }

// First thing in a test that reads the samples.
#define SKIP_WITHOUT_SAMPLES()                                                                                         \
    if (!samplesPresent())                                                                                             \
    GTEST_SKIP() << "the shared sample programs are not beside this checkout (" TORVEL_SAMPLES_DIR ")"
