#include "CsvTestSupport.h"

using namespace cardolin;
using namespace cardolin::testing;

namespace {

using CsvFixture = CsvTest;

} // namespace
