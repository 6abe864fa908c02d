#include "app/WindowFont.h"

#include <QApplication>
#include <QFontDatabase>

namespace torvel {

QFont windowFont()
{
    constexpr int kPointSize = 8;
    const QString family = QStringLiteral("MS Sans Serif");
    if (QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return QFont(family, kPointSize);
    QFont font = QApplication::font();
    font.setPointSize(kPointSize);
    return font;
}

} // namespace torvel
