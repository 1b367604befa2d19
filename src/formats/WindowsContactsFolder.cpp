#include "contacts/QorContacts.h"
#include "formats/RecordFiles.h"
#include "formats/TextFiles.h"
#include "formats/WindowsContactFile.h"
#include "support/Clock.h"
#include "support/ReadLimits.h"

#include <QBuffer>

namespace cardolin {

bool TQorContacts::ReadContactDataFromWindowsContactsFile(TContactData *AContactData, const QString &FileName)
{
    // One contact's file holds at most a photo besides its text.
    QByteArray bytes;
    QString error;
    if (!textfile::ReadImportBytes(FileName, limits::kMaxValueBytes, bytes, error))
        return false;
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    TContactData *contact = AContactData ? AContactData : CreateContactData();
    if (AContactData) {
        const TDateTime now = DateTimeToSerial(m_clock->NowUtc());
        contact->Accessed = now;
        contact->Modified = now;
    }
    if (!windowscontact::Read(file, *contact)) {
        if (!AContactData)
            DeleteContactData(contact);
        return false;
    }
    if (m_formatContacts)
        FormatContactData(contact);
    return true;
}

int TQorContacts::ImportFromWindowsContactsFolder(const QString &FolderName)
{
    return recordfiles::ImportFolder(*this, FolderName, QStringLiteral("*.contact"),
                                     [this](TContactData *contact, const QString &path) {
                                         return ReadContactDataFromWindowsContactsFile(contact, path);
                                     },
                                     m_skippedFileCount);
}

} // namespace cardolin
