#pragma once

namespace cardolin::cli {

// "default-lists": the category and keyword lists a new user starts with, and
// the file each comes from, so that an installation can be checked.
int RunDefaultListsCommand();

} // namespace cardolin::cli
