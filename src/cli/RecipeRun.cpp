#include "cli/RecipeRun.h"

#include "cli/Arguments.h"
#include "cli/BatchFunctions.h"
#include "core/CallTools.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/ProgramText.h"
#include "core/Recipe.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <sched.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

namespace torvel::batch {

namespace {

using Clock = std::chrono::steady_clock;

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

unsigned coreCount()
{
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1U, std::thread::hardware_concurrency());
}

bool isFolder(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The same file named twice would be worked on twice, at once; two files of one name
// would be written over one another in the output folder.
void refuseRepeats(const RecipeRunOptions& o)
{
    std::map<std::pair<dev_t, ino_t>, std::string> seen;
    std::set<std::string> missing;
    std::map<std::string, std::string> outputs;
    for (const std::string& file : o.files) {
        struct stat st { };
        const bool repeated = ::stat(file.c_str(), &st) == 0
            ? !seen.emplace(std::pair {st.st_dev, st.st_ino}, file).second
            : !missing.insert(file).second;
        if (repeated)
            throw UsageError {"'" + file + "' is given twice"};
        if (o.inPlace)
            continue;
        const auto [at, fresh] = outputs.emplace(baseName(file), file);
        if (!fresh)
            throw UsageError {"'" + at->second + "' and '" + file + "' would both be written to '" + o.outputFolder
                + "/" + at->first + "'"};
    }
}

// Failures one line each and the progress bar, on standard error, from any worker.
class Reporter {
public:
    Reporter(size_t total, bool bar)
        : total_(total)
        , bar_(bar)
        , start_(Clock::now())
    { }

    void failed(const std::string& line) { say(line + "\n"); }

    // Whole lines, over the bar.
    void say(const std::string& lines)
    {
        const std::lock_guard lock(mutex_);
        writeError((bar_ ? "\r\x1b[K" : "") + lines);
    }

    void fileDone(size_t bytes)
    {
        bytes_ += bytes;
        if (++done_ == total_) {
            const std::lock_guard lock(mutex_);
            finished_.notify_all();
        }
    }

    // Redraws the bar a few times a second until every file is done, then clears it.
    void drawUntilDone()
    {
        std::unique_lock lock(mutex_);
        while (done_ < total_) {
            finished_.wait_for(lock, std::chrono::milliseconds(100));
            if (bar_)
                writeError(barText());
        }
        if (bar_)
            writeError("\r\x1b[K");
    }

private:
    static void writeError(const std::string& text)
    {
        size_t at = 0;
        while (at < text.size()) {
            const ssize_t n = ::write(2, text.data() + at, text.size() - at);
            if (n <= 0)
                return;
            at += static_cast<size_t>(n);
        }
    }

    std::string barText() const
    {
        constexpr size_t kWidth = 30;
        const size_t done = done_;
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(bytes_) / 1e6 / seconds : 0;
        const size_t filled = total_ ? done * kWidth / total_ : kWidth;
        char tail[96];
        std::snprintf(tail, sizeof tail, "] %zu/%zu files  %.1f MB/s", done, total_, rate);
        return "\r[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + tail + "\x1b[K";
    }

    const size_t total_;
    const bool bar_;
    const Clock::time_point start_;
    std::atomic<size_t> done_ {0};
    std::atomic<size_t> bytes_ {0};
    std::mutex mutex_;
    std::condition_variable finished_;
};

enum class Outcome { Changed, Unchanged, Failed };

// Nobody watches a file's run: the loop need not stop to ask.
class Unwatched : public RunObserver {
public:
    long long linesPerCall() const override { return std::numeric_limits<long long>::max(); }
};

// A flush of the file system each folder lies on, once for each file system.
void flushFileSystems(const std::set<std::string>& folders)
{
    std::set<dev_t> flushed;
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st { };
        if (::fstat(fd, &st) == 0 && flushed.insert(st.st_dev).second)
            (void)::syncfs(fd);
        ::close(fd);
    }
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// The coordinate functions of a recipe, each checked on a file as --verify checks it.
class StepVerifier : public StepWatcher {
public:
    StepVerifier(const std::string& file, bool utf8Program)
        : prefix_(file + ": ")
        , reading_(CallReading::forProgram(utf8Program))
    { }

    bool watches(const RecipeStep& step) const override
    {
        return meaningOf(step.call, reading_).kind != FunctionMeaning::Kind::Nothing;
    }

    void stepDone(const RecipeStep& step, const ProgramText& before, const ProgramText& after) override
    {
        findings += findingLines(before, after, meaningOf(step.call, reading_), callRange(step.call), prefix_);
    }

    std::string findings;

private:
    const std::string prefix_;
    const CallReading reading_;
};

// One worker's files: each read as the editor opens it, every step of the recipe, and the
// result written only when all of them succeeded. A file replaced in place must survive a
// power cut whole, old or new: its new bytes reach the disk before the rename, and waiting
// for the disk file by file would take longer than the work, so the new files of a worker
// are flushed a group at a time (one flush of the file system) and then renamed.
class Worker {
public:
    Worker(const Recipe& recipe, const RecipeRunOptions& options, Reporter& reporter, std::vector<Outcome>& outcomes,
        std::vector<char>& hasFindings)
        : recipe_(recipe)
        , options_(options)
        , reporter_(reporter)
        , outcomes_(outcomes)
        , hasFindings_(hasFindings)
    { }

    void apply(size_t index, const std::string& target)
    {
        const std::string& file = options_.files[index];
        size_t bytes = 0;
        try {
            applyToFile(index, file, target, bytes);
        } catch (const UsageError& e) {
            failed(index, e.message);
        } catch (const Error& e) {
            failed(index, e.what());
        } catch (const std::bad_alloc&) {
            failed(index, "not enough memory for this program");
        }
        reporter_.fileDone(bytes);
        if (pending_.size() >= kGroup)
            commitPending();
    }

    void commitPending()
    {
        std::set<std::string> folders;
        for (const Pending& p : pending_)
            folders.insert(folderOf(options_.files[p.index]));
        flushFileSystems(folders);
        for (Pending& p : pending_) {
            try {
                p.out->commit();
                outcomes_[p.index] = p.changed ? Outcome::Changed : Outcome::Unchanged;
            } catch (const Error& e) {
                failed(p.index, e.what());
            }
        }
        pending_.clear();
    }

private:
    // Each pending file holds two descriptors open.
    static constexpr size_t kGroup = 64;

    struct Pending {
        size_t index;
        std::unique_ptr<AtomicFile> out;
        bool changed;
    };

    void applyToFile(size_t index, const std::string& file, const std::string& target, size_t& bytes)
    {
        size_t size = 0;
        std::unique_ptr<char[]> buffer = readFileBuffer(file, size);
        bytes = size;
        const std::string before(buffer.get(), size);
        Document doc {
            ProgramText::fromFileBuffer(std::move(buffer), size), UndoRing(UndoRing::NoSnapshots {}), History()};
        Unwatched quiet;
        const bool utf8 = showsAsUtf8(doc.text);
        StepVerifier verifier(file, utf8);
        const RecipeResult result = applyRecipe(doc, recipe_, utf8, quiet, options_.verify ? &verifier : nullptr);
        if (result.failed()) {
            const RecipeStep& step = recipe_[result.failedStep];
            failed(index,
                "line " + std::to_string(result.failure.line) + ": " + result.failure.message + " (recipe line "
                    + std::to_string(step.line) + ", " + step.call.function + ")");
            return;
        }
        // What the file's run did is said whether or not it changed the bytes.
        if (!verifier.findings.empty()) {
            hasFindings_[index] = true;
            reporter_.say(verifier.findings);
        }
        std::string after;
        after.reserve(size + size / 8 + 64);
        doc.text.appendFileBytes(after);
        const bool changed = after != before;
        if (!changed && options_.inPlace) {
            outcomes_[index] = Outcome::Unchanged;
            return;
        }
        // A file in the output folder puts nothing at risk: it goes to the disk as a copy would.
        if (!options_.inPlace && writeNewFile(target, after.data(), after.size())) {
            outcomes_[index] = changed ? Outcome::Changed : Outcome::Unchanged;
            return;
        }
        auto out = std::make_unique<AtomicFile>(target, SyncMode::NoSync);
        out->skipStaleTempSweep();
        out->write(after.data(), after.size());
        if (options_.inPlace) {
            pending_.push_back({index, std::move(out), changed});
            return;
        }
        out->commit();
        outcomes_[index] = changed ? Outcome::Changed : Outcome::Unchanged;
    }

    void failed(size_t index, const std::string& message)
    {
        outcomes_[index] = Outcome::Failed;
        reporter_.failed(options_.files[index] + ": " + message);
    }

    const Recipe& recipe_;
    const RecipeRunOptions& options_;
    Reporter& reporter_;
    std::vector<Outcome>& outcomes_;
    std::vector<char>& hasFindings_; // char, not bool: workers write neighbouring entries
    std::vector<Pending> pending_;
};

// What killed saves left in the folders is swept once at the end, not at every file; files
// replaced in place are also renamed on the disk before the run ends.
void finishFolders(const std::vector<std::string>& targets, bool inPlace)
{
    std::set<std::string> folders;
    for (const std::string& t : targets)
        folders.insert(folderOf(t));
    for (const std::string& folder : folders)
        removeStaleTemps(folder);
    if (inPlace)
        flushFileSystems(folders);
}

} // namespace

RecipeRunOptions recipeRunOptions(int argc, const char* const* argv)
{
    RecipeRunOptions o;
    std::vector<std::string> positional;
    std::optional<std::string> output;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-" || arg.empty() || arg[0] != '-') {
            positional.push_back(arg);
        } else if (arg == "--in-place") {
            o.inPlace = true;
        } else if (arg == "--verify") {
            o.verify = true;
        } else if (arg == "-j" || arg == "-o") {
            if (i + 1 >= argc)
                throw UsageError {"option " + arg + " needs a value"};
            const std::string value = argv[++i];
            if (arg == "-j")
                o.jobs = static_cast<unsigned>(wholeNumber("-j", value, 1, 1024));
            else
                output = value;
        } else {
            throw UsageError {"unknown option '" + arg + "' for run"};
        }
    }
    if (positional.empty())
        throw UsageError {"run needs a RECIPE and the FILEs to apply it to"};
    o.recipe = positional.front();
    o.files.assign(positional.begin() + 1, positional.end());
    if (o.files.empty())
        throw UsageError {"no FILE given"};
    if (o.inPlace && output)
        throw UsageError {"-o and --in-place exclude each other"};
    if (!o.inPlace && !output)
        throw UsageError {"run needs --in-place or -o DIR"};
    if (output) {
        if (!isFolder(*output))
            throw UsageError {"-o DIR needs an existing folder, not '" + *output + "'"};
        o.outputFolder = *output;
        while (o.outputFolder.size() > 1 && o.outputFolder.back() == '/')
            o.outputFolder.pop_back();
    }
    if (o.recipe == "-")
        throw UsageError {"the RECIPE must be a file"};
    for (const std::string& file : o.files)
        if (file == "-")
            throw UsageError {"run cannot read standard input"};
    refuseRepeats(o);
    return o;
}

int runRecipe(const RecipeRunOptions& o)
{
    Recipe recipe;
    try {
        recipe = parseRecipe(readFileBytes(o.recipe));
    } catch (const RecipeError& e) {
        throw UsageError {o.recipe + ": line " + std::to_string(e.line) + ": " + e.error.message};
    }

    const size_t total = o.files.size();
    std::vector<std::string> targets(total);
    for (size_t i = 0; i < total; ++i)
        targets[i] = o.inPlace ? o.files[i] : o.outputFolder + "/" + baseName(o.files[i]);

    Reporter reporter(total, ::isatty(2) == 1);
    std::vector<Outcome> outcomes(total, Outcome::Failed);
    std::vector<char> hasFindings(total, 0);
    std::atomic<size_t> next {0};
    const auto work = [&] {
        Worker worker(recipe, o, reporter, outcomes, hasFindings);
        for (size_t i; (i = next.fetch_add(1)) < total;)
            worker.apply(i, targets[i]);
        worker.commitPending();
    };
    const unsigned jobs = static_cast<unsigned>(std::min<size_t>(o.jobs ? o.jobs : coreCount(), total));
    std::vector<std::thread> workers;
    for (unsigned j = 0; j < jobs; ++j)
        workers.emplace_back(work);
    reporter.drawUntilDone();
    for (std::thread& w : workers)
        w.join();
    finishFolders(targets, o.inPlace);

    size_t counts[3] = {0, 0, 0};
    for (Outcome outcome : outcomes)
        ++counts[static_cast<int>(outcome)];
    const size_t withFindings = static_cast<size_t>(std::count(hasFindings.begin(), hasFindings.end(), 1));
    if (o.verify)
        std::printf("%zu changed, %zu unchanged, %zu failed, %zu with findings\n", counts[0], counts[1], counts[2],
            withFindings);
    else
        std::printf("%zu changed, %zu unchanged, %zu failed\n", counts[0], counts[1], counts[2]);
    if (counts[2])
        return 1;
    return withFindings ? 3 : 0;
}

} // namespace torvel::batch
