#include "contacts/ContactUid.h"

#include <QUuid>

namespace cardolin {

QString NewContactUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void GiveUniqueUids(const std::vector<std::unique_ptr<TContactData>> &records, QSet<QString> &taken)
{
    taken.reserve(taken.size() + qsizetype(records.size()));
    for (const auto &record : records) {
        if (!record)
            continue;
        if (record->Uid.isEmpty() || taken.contains(record->Uid))
            record->Uid = NewContactUid();
        taken.insert(record->Uid);
    }
}

} // namespace cardolin
