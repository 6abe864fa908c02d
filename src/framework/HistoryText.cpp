#include "framework/HistoryText.h"

#include "core/Encoding.h"

QString historyText(std::string_view bytes)
{
    const std::string utf8 = torvel::mixedToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
