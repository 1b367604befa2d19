#pragma once

#include "contacts/ContactData.h"

class QIODevice;

namespace cardolin::windowscontact {

// Reads one Windows ".contact" XML document into the contact. False, with the
// contact untouched, when the document is not well-formed, declares a DTD, or
// is larger than the reader accepts.
bool Read(QIODevice &device, TContactData &contact);

} // namespace cardolin::windowscontact
