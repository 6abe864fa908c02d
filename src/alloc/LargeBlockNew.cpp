// Replaces the global operator new of the executables it is linked into.
//
// A block of several megabytes (a program's text, its line list, the view's
// text and style buffers) is asked for as transparent huge pages before it is
// first touched: the first write to a 40 MB buffer then takes twenty faults
// instead of ten thousand, and on a virtual machine each fault is expensive.
// Every block still comes from malloc and goes back through free, so memory
// from this operator and from the library's own operators can be mixed freely.

#include "core/ProgramText.h"

#include <cstdlib>
#include <new>

namespace {

void* allocate(std::size_t size)
{
    if (size == 0)
        size = 1;
    for (;;) {
        if (void* p = std::malloc(size)) {
            torvel::adviseHugePages(p, size);
            return p;
        }
        std::new_handler handler = std::get_new_handler();
        if (!handler)
            throw std::bad_alloc();
        handler();
    }
}

} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
