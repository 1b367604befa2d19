#pragma once

#include <QFlags>
#include <QList>
#include <QStringList>

#include <optional>

namespace cardolin {

// The window, list and font states that the settings store keeps, as plain data:
// the desktop program applies them to its widgets.

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Placement of a window. Read back, wsMinimized means "leave the state alone".
struct TFormInfo
{
    int Height = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    TWindowState WindowState = wsNormal;
    friend bool operator==(const TFormInfo &, const TFormInfo &) = default;
};

// "600, 100, 80, 900, wsNormal"; a minimised window leaves the last part empty.
QString FormInfoText(const TFormInfo &info);
// Null unless the text has exactly five parts with four numbers.
std::optional<TFormInfo> ParseFormInfo(const QString &text);

// What the desktop program does with a stored placement at start.
struct TFormRestore
{
    bool KeyExists = false;          // warn first when the form is not at its designed position
    bool Center = false;             // nothing stored and centring asked for
    std::optional<TFormInfo> Info;   // apply when present
};

// The warning shown when a placement exists but the form would not honour it.
QString PositionNotRestoredWarning(const QString &className);

// Colours as the design numbers them: $00BBGGRR, or a system colour with the top
// byte $FF, or one of the two special values clNone and clDefault.
using TColor = qint32;
QString ColorToString(TColor color);
std::optional<TColor> StringToColor(const QString &text);

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)

struct TFontInfo
{
    QString Name;
    int Size = 0;
    TFontStyles Style;
    TColor Color = 0;
    friend bool operator==(const TFontInfo &, const TFontInfo &) = default;
};

// "\"Segoe UI\", 9, [Bold|Italic], [clInfoText]"
QString FontText(const TFontInfo &font);
// Applies what the text holds to font; a part that cannot be read leaves that
// property as it was.
TFontInfo ApplyFontText(const QString &text, TFontInfo font);

struct TCheckListItem
{
    QString Text;
    bool Checked = false;
    friend bool operator==(const TCheckListItem &, const TCheckListItem &) = default;
};
using TCheckListItems = QList<TCheckListItem>;

struct TComboBoxState
{
    QStringList Items;
    QString Text;
    friend bool operator==(const TComboBoxState &, const TComboBoxState &) = default;
};

} // namespace cardolin

// At global scope like the other flag operators, so none hides another.
Q_DECLARE_OPERATORS_FOR_FLAGS(cardolin::TFontStyles)
