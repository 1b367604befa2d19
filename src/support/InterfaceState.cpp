#include "support/InterfaceState.h"

namespace cardolin {

namespace {

const QLatin1StringView kSeparator(", ");

struct WindowStateName
{
    TWindowState state;
    QLatin1StringView name;
};

const WindowStateName kWindowStates[] = {
    {wsNormal, QLatin1StringView("wsNormal")},
    {wsMaximized, QLatin1StringView("wsMaximized")},
    {wsMinimized, QLatin1StringView("")},
};

struct NamedColor
{
    TColor color;
    QLatin1StringView name;
};

constexpr TColor System(int index)
{
    return TColor(0xFF000000u | unsigned(index));
}

const NamedColor kColors[] = {
    {0x000000, QLatin1StringView("clBlack")},
    {0x000080, QLatin1StringView("clMaroon")},
    {0x008000, QLatin1StringView("clGreen")},
    {0x008080, QLatin1StringView("clOlive")},
    {0x800000, QLatin1StringView("clNavy")},
    {0x800080, QLatin1StringView("clPurple")},
    {0x808000, QLatin1StringView("clTeal")},
    {0x808080, QLatin1StringView("clGray")},
    {0xC0C0C0, QLatin1StringView("clSilver")},
    {0x0000FF, QLatin1StringView("clRed")},
    {0x00FF00, QLatin1StringView("clLime")},
    {0x00FFFF, QLatin1StringView("clYellow")},
    {0xFF0000, QLatin1StringView("clBlue")},
    {0xFF00FF, QLatin1StringView("clFuchsia")},
    {0xFFFF00, QLatin1StringView("clAqua")},
    {0xFFFFFF, QLatin1StringView("clWhite")},
    {0xC0DCC0, QLatin1StringView("clMoneyGreen")},
    {0xF0CAA6, QLatin1StringView("clSkyBlue")},
    {0xF0FBFF, QLatin1StringView("clCream")},
    {0xA4A0A0, QLatin1StringView("clMedGray")},
    {System(0), QLatin1StringView("clScrollBar")},
    {System(1), QLatin1StringView("clBackground")},
    {System(2), QLatin1StringView("clActiveCaption")},
    {System(3), QLatin1StringView("clInactiveCaption")},
    {System(4), QLatin1StringView("clMenu")},
    {System(5), QLatin1StringView("clWindow")},
    {System(6), QLatin1StringView("clWindowFrame")},
    {System(7), QLatin1StringView("clMenuText")},
    {System(8), QLatin1StringView("clWindowText")},
    {System(9), QLatin1StringView("clCaptionText")},
    {System(10), QLatin1StringView("clActiveBorder")},
    {System(11), QLatin1StringView("clInactiveBorder")},
    {System(12), QLatin1StringView("clAppWorkSpace")},
    {System(13), QLatin1StringView("clHighlight")},
    {System(14), QLatin1StringView("clHighlightText")},
    {System(15), QLatin1StringView("clBtnFace")},
    {System(16), QLatin1StringView("clBtnShadow")},
    {System(17), QLatin1StringView("clGrayText")},
    {System(18), QLatin1StringView("clBtnText")},
    {System(19), QLatin1StringView("clInactiveCaptionText")},
    {System(20), QLatin1StringView("clBtnHighlight")},
    {System(21), QLatin1StringView("cl3DDkShadow")},
    {System(22), QLatin1StringView("cl3DLight")},
    {System(23), QLatin1StringView("clInfoText")},
    {System(24), QLatin1StringView("clInfoBk")},
    {System(26), QLatin1StringView("clHotLight")},
    {System(27), QLatin1StringView("clGradientActiveCaption")},
    {System(28), QLatin1StringView("clGradientInactiveCaption")},
    {System(29), QLatin1StringView("clMenuHighlight")},
    {System(30), QLatin1StringView("clMenuBar")},
    {0x1FFFFFFF, QLatin1StringView("clNone")},
    {0x20000000, QLatin1StringView("clDefault")},
};

struct StyleName
{
    TFontStyle style;
    QLatin1StringView name;
};

const StyleName kStyles[] = {
    {fsBold, QLatin1StringView("Bold")},
    {fsItalic, QLatin1StringView("Italic")},
    {fsUnderline, QLatin1StringView("Underline")},
    {fsStrikeOut, QLatin1StringView("Strikeout")},
};

std::optional<int> Number(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// The text between the first open and the next close after from; from moves past it.
std::optional<QString> Enclosed(const QString &text, QChar open, QChar close, qsizetype &from)
{
    const qsizetype start = text.indexOf(open, from);
    const qsizetype end = start < 0 ? -1 : text.indexOf(close, start + 1);
    if (end < 0)
        return std::nullopt;
    from = end + 1;
    return text.mid(start + 1, end - start - 1);
}

} // namespace

QString FormInfoText(const TFormInfo &info)
{
    QString text;
    for (const int number : {info.Height, info.Left, info.Top, info.Width})
        text += QString::number(number) + kSeparator;
    for (const WindowStateName &entry : kWindowStates)
        if (entry.state == info.WindowState)
            text += entry.name;
    return text;
}

std::optional<TFormInfo> ParseFormInfo(const QString &text)
{
    const QStringList parts = text.split(kSeparator);
    if (parts.size() != 5)
        return std::nullopt;
    const auto height = Number(parts[0]), left = Number(parts[1]), top = Number(parts[2]), width = Number(parts[3]);
    if (!height || !left || !top || !width)
        return std::nullopt;
    TFormInfo info{*height, *left, *top, *width, wsMinimized};
    for (const WindowStateName &entry : kWindowStates)
        if (entry.name == parts[4] && entry.state != wsMinimized)
            info.WindowState = entry.state;
    return info;
}

QString PositionNotRestoredWarning(const QString &className)
{
    return QStringLiteral("This warning indicates that position of %1 will not be restored as %1.Position <> poDesigned.")
        .arg(className);
}

QString ColorToString(TColor color)
{
    for (const NamedColor &entry : kColors)
        if (entry.color == color)
            return entry.name;
    return QStringLiteral("$%1").arg(quint32(color), 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<TColor> StringToColor(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const NamedColor &entry : kColors)
        if (trimmed.compare(entry.name, Qt::CaseInsensitive) == 0)
            return entry.color;
    bool ok = false;
    const quint32 value = trimmed.startsWith(u'$') ? trimmed.mid(1).toUInt(&ok, 16) : trimmed.toUInt(&ok);
    return ok ? std::optional(TColor(value)) : std::nullopt;
}

QString FontText(const TFontInfo &font)
{
    QStringList styles;
    for (const StyleName &entry : kStyles)
        if (font.Style.testFlag(entry.style))
            styles.append(entry.name);
    return QStringLiteral("\"%1\", %2, [%3], [%4]")
        .arg(font.Name, QString::number(font.Size), styles.join(u'|'), ColorToString(font.Color));
}

TFontInfo ApplyFontText(const QString &text, TFontInfo font)
{
    if (text.isEmpty())
        return font;
    qsizetype at = 0;
    if (const auto name = Enclosed(text, u'"', u'"', at))
        font.Name = *name;
    // The size follows the first comma after the name, which may hold commas itself.
    const qsizetype comma = text.indexOf(u',', at);
    if (comma >= 0) {
        if (const auto size = Number(text.mid(comma + 1).section(u',', 0, 0)))
            font.Size = *size;
        at = comma + 1;
    }
    if (const auto styles = Enclosed(text, u'[', u']', at)) {
        const QStringList names = styles->split(u'|');
        font.Style = {};
        for (const StyleName &entry : kStyles)
            font.Style.setFlag(entry.style, names.contains(entry.name));
    }
    if (const auto colorText = Enclosed(text, u'[', u']', at))
        if (const auto color = StringToColor(*colorText))
            font.Color = *color;
    return font;
}

} // namespace cardolin
