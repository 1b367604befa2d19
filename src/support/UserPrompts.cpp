#include "support/UserPrompts.h"

namespace cardolin {

SilentPrompts &SilentPrompts::Instance()
{
    static SilentPrompts prompts;
    return prompts;
}

} // namespace cardolin
