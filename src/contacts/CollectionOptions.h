#pragma once

namespace cardolin {

class TQorContacts;
class TQorRegistryEnhanced;

// Gives a collection the stored options that steer it (default category,
// maps, display type and its options, find and format options, map markers,
// proxy, Google OAuth client), with the settings table's defaults for what is not stored.
void ApplyStoredOptions(const TQorRegistryEnhanced &registry, TQorContacts &contacts);

} // namespace cardolin
