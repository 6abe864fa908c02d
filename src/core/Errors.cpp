#include "core/Errors.h"

namespace torvel {

IndexError::IndexError(long long index)
    : Error("Invalid stringlist index " + std::to_string(index))
{ }

ConversionError ConversionError::notANumber(const std::string& text)
{
    return ConversionError("'" + text + "' is not a valid floating point value");
}

FileError FileError::cannotOpen(const std::string& path) { return FileError("Cannot open file " + path + "."); }

FileError FileError::cannotCreate(const std::string& path) { return FileError("Cannot create file " + path + "."); }

FileError FileError::unableToWrite(const std::string& path) { return FileError("Unable to write to " + path + "."); }

} // namespace torvel
