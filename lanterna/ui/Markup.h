#pragma once

#include <QPalette>
#include <QString>

namespace lanterna::ui {

// The string table's tooltip markup as Qt rich text. Qt renders most of it as it is; the rest
// is translated here: <icon idres=N> becomes our icon N, <font> with style=b, size=10pt and
// colours becomes a styled span, bgcolor=buttonface/window the palette's colours, and
// <hr color=...> a coloured rule.
QString TranslateMarkup(const QString& markup, const QPalette& palette);
QString TranslateMarkup(const QString& markup);

// A tooltip of a bold title over a marked-up body; either may be empty.
QString ToolTipText(const QString& title, const QString& body);

}  // namespace lanterna::ui
