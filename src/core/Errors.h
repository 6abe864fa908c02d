#pragma once

#include <stdexcept>
#include <string>

namespace torvel {

// Every failure the user can be shown carries its final message text.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A bad line index on the line list ("Invalid stringlist index %d").
class IndexError : public Error {
public:
    explicit IndexError(long long index);
};

// A text that is no number, or a result that cannot be written.
class ConversionError : public Error {
public:
    using Error::Error;
    static ConversionError notANumber(const std::string& text);
};

// A file that cannot be read or written; the message names the path, except when
// writing stopped part-way (a full disk).
class FileError : public Error {
public:
    using Error::Error;
    static FileError cannotOpen(const std::string& path);
    static FileError cannotCreate(const std::string& path);
    static FileError unableToWrite(const std::string& path);
    static FileError streamWrite();
};

} // namespace torvel
