#pragma once

#include <QStringList>

namespace cardolin {

class TQorContacts;
class TQorRegistryEnhanced;

// The marker colours the map services know, sorted.
const QStringList &GoogleEarthMarkerColors();
const QStringList &ZeeMapsMarkerColors();

// Gives a collection the stored options that steer it (default category,
// maps, display type and its options, find and format options, map markers,
// proxy, Google OAuth client), with the settings table's defaults for what is not stored.
void ApplyStoredOptions(const TQorRegistryEnhanced &registry, TQorContacts &contacts);

} // namespace cardolin
