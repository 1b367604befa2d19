#pragma once

class QWidget;

namespace cardolin {
class TQorContacts;
}
namespace cardolin::platform {
class DesktopServices;
}

namespace cardolin::app {

// Lets the collection show its contact dialog over parent; addresses the
// dialog opens go to desktop. Both must outlive the collection's use of it.
void InstallContactDialogs(TQorContacts &contacts, platform::DesktopServices &desktop, QWidget *parent);

} // namespace cardolin::app
