#pragma once

#include "formats/CsvLayout.h"

namespace cardolin {

const CsvLayout &WindowsContactsCsvLayout();
const CsvLayout &OutlookCsvLayout();
const CsvLayout &OutlookFrenchCsvLayout();
const CsvLayout &GoogleCsvLayout();
const CsvLayout &GoogleDeprecatedCsvLayout();
const CsvLayout &NokiaCsvLayout();
const CsvLayout &YahooCsvLayout();
const CsvLayout &BlackBerryCsvLayout();
const CsvLayout &GoogleContactsCsvLayout();
const CsvLayout &ThunderbirdCsvLayout();

} // namespace cardolin
