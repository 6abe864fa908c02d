#include "core/Errors.h"

namespace torvel {

namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) on literal + string chains.
std::string framed(const char* before, const std::string& middle, const char* after)
{
    std::string s(before);
    s.append(middle).append(after);
    return s;
}

} // namespace

IndexError::IndexError(long long index)
    : Error(framed("Invalid stringlist index ", std::to_string(index), ""))
{ }

ConversionError ConversionError::notANumber(const std::string& text)
{
    return ConversionError(framed("'", text, "' is not a valid floating point value"));
}

FileError FileError::cannotOpen(const std::string& path) { return FileError(framed("Cannot open file ", path, ".")); }

FileError FileError::cannotCreate(const std::string& path)
{
    return FileError(framed("Cannot create file ", path, "."));
}

FileError FileError::streamWrite() { return FileError("Stream write error"); }

FileError FileError::unableToWrite(const std::string& path)
{
    return FileError(framed("Unable to write to ", path, "."));
}

} // namespace torvel
