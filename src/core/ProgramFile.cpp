#include "core/ProgramFile.h"

namespace torvel {

ProgramText loadProgramFile(const std::string& path)
{
    size_t size = 0;
    auto data = readFileBuffer(path, size);
    return ProgramText::fromFileBuffer(std::move(data), size);
}

ProgramText mapProgramFile(const std::string& path)
{
    FileBytes file = mapFileBytes(path);
    return ProgramText::fromFileView(file.bytes, std::move(file.owner));
}

void saveProgramFile(const std::string& path, const ProgramText& text, SyncMode sync)
{
    AtomicFile file(path, sync);
    text.writeFilePieces([&](const iovec* pieces, int count) { file.write(pieces, count); });
    file.commit();
}

} // namespace torvel
