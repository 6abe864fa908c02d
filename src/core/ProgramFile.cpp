#include "core/ProgramFile.h"

namespace torvel {

ProgramText loadProgramFile(const std::string& path)
{
    size_t size = 0;
    auto data = readFileBuffer(path, size);
    return ProgramText::fromFileBuffer(std::move(data), size);
}

void saveProgramFile(const std::string& path, const ProgramText& text, SyncMode sync)
{
    AtomicFile file(path, sync);
    text.writeFileBytes([&](const char* p, size_t n) { file.write(p, n); });
    file.commit();
}

} // namespace torvel
