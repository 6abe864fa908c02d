#pragma once

#include <QString>

#include <string_view>

// History descriptions join the program's own UTF-8 texts with texts typed for a
// file that may be in Windows-1252. Valid UTF-8 reads as UTF-8; any other byte
// reads as its Windows-1252 character.
QString historyText(std::string_view bytes);
