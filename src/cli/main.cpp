// torvel-batch: one editor function applied to a program file, without the window.

#include "cli/Arguments.h"
#include "cli/BatchFunctions.h"

#include <cstdio>
#include <exception>
#include <new>

int main(int argc, char** argv)
{
    using namespace torvel::batch;
    try {
        switch (requestOf(argc, argv)) {
        case Request::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case Request::Version:
            std::puts("torvel-batch " TORVEL_VERSION);
            return 0;
        case Request::Run:
            break;
        }
        return runBatch(parseArguments(argc, argv));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.message.c_str());
    } catch (const std::bad_alloc&) {
        std::fputs("torvel-batch: not enough memory for this program\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "torvel-batch: %s\n", e.what());
    }
    return 2;
}
