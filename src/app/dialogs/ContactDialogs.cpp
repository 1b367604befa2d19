#include "app/dialogs/ContactDialogs.h"

#include "app/dialogs/ContactPropertiesBox.h"

namespace cardolin::app {

void InstallContactDialogs(TQorContacts &contacts, platform::DesktopServices &desktop, QWidget *parent)
{
    contacts.SetContactDialog([&desktop, parent](TQorContacts &owner, TContactData &contact, bool editable,
                                                 const QString &caption) {
        // A fresh dialog each time, so no state is left over from the last one.
        TQorContactsPropertiesBox box(owner, desktop, parent);
        box.Load(contact, editable, caption);
        const bool confirmed = box.exec() == QDialog::Accepted;
        if (confirmed)
            box.Store(contact);
        return box.Result(confirmed);
    });
}

} // namespace cardolin::app
