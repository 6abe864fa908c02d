#pragma once

#include <QColor>

#include <cstdint>

// Colour values are 0x00BBGGRR words: red in the low byte.

inline QColor colourFromValue(uint32_t value)
{
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
        static_cast<int>((value >> 16) & 0xFFu));
}

inline QColor colourFromValue(int32_t value) { return colourFromValue(static_cast<uint32_t>(value)); }

// The top byte is 0, as for every colour the colour dialog stores.
inline int32_t valueFromColour(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<int32_t>(static_cast<uint32_t>(rgb.red()) | (static_cast<uint32_t>(rgb.green()) << 8)
        | (static_cast<uint32_t>(rgb.blue()) << 16));
}
