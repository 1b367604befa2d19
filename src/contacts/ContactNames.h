#pragma once

#include "contacts/ContactData.h"

#include <QStringView>

#include <array>

namespace cardolin {

// The pieces a display name is made of, without building the text: comparing a
// name against a search text this way costs no allocation, which matters when
// every record of a large book is compared.
class DisplayNameParts
{
public:
    // type must already be resolved (not dtInherited); fold applies the accent fold.
    DisplayNameParts(const TContactData &contact, TDisplayType type, bool fold);

    qsizetype Length() const;
    QString ToString() const;
    bool Equals(QStringView text) const;

private:
    template <typename Visit> void ForEachPiece(Visit visit) const;

    std::array<QStringView, 4> m_parts{};
    qsizetype m_count = 0;
    QStringView m_suffix;
    bool m_fold;
};

QString ComputeInitials(const TContactData &contact);

// Splits a whole name at its first blank into first and last name; a name
// without a blank is taken as the last name.
void SetNamesFromFullName(TContactData &contact, const QString &name);

} // namespace cardolin
