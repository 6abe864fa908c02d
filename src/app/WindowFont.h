#pragma once

#include <QFont>

namespace torvel {

// The windows' designed font, MS Sans Serif 8 pt. Where that face is not installed, the
// platform's default interface face is used at the same size instead of a look-alike guess.
QFont windowFont();

} // namespace torvel
