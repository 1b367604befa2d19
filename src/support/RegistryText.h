#pragma once

#include "support/RegistryStore.h"

#include <QByteArray>

#include <memory>

namespace cardolin::registrytext {

// The settings store on disk: UTF-8 text that a person can read and mend.
//
//   ; comment
//   [Software\Velmora\Cardolin\Options]
//   "SortAlphabetically"=dword:00000001
//   "CommonContactsBookLibrary"="/srv/books"
//   "Path"=expand:"$HOME/x"
//   "Blob"=hex:01,FF
//   @="the key's unnamed value"
//
// Names and texts are quoted, with \\ \" \n \r \t and \uXXXX escapes; a key holds
// what follows its header up to the next one; "[]" is the root.

// Files larger than this are refused rather than read into memory.
inline constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

QByteArray Write(const RegistryKey &root);

// Null with a reason in error when the text is not a store; never throws, and
// memory stays proportional to the input.
std::unique_ptr<RegistryKey> Read(const QByteArray &utf8, QString &error);

} // namespace cardolin::registrytext
