#pragma once
#include "convert/BatchRun.h"
#include "platform/Platform.h"

namespace forms {

// The services a conversion run uses, taken from the platform the same way
// by every front-end.
convert::RunServices MakeRunServices(platform::Platform& platform);

}  // namespace forms
