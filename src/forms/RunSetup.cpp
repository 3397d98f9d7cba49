#include "RunSetup.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace forms {

convert::RunServices MakeRunServices(platform::Platform& p) {
    convert::RunServices services{*p.files, *p.folders, *p.processes};
    // Without a TEMP of the user's, results go to the program's own folder,
    // which the run makes private and checks before writing there.
    const char* temp = std::getenv("TEMP");
    services.privateTempFolder = temp == nullptr || *temp == '\0';
    services.access = p.access.get();
    services.awake = p.awake.get();
    services.convertersAtOnce = convert::ConvertersAtOnce(std::thread::hardware_concurrency());
    // A user (or a benchmark) may ask for another number, 1 for one clip at a time.
    if (const char* wanted = std::getenv("CLIPVANE_CONVERTERS"); wanted && std::atoi(wanted) > 0)
        services.convertersAtOnce = std::min(std::atoi(wanted), 16);
    return services;
}

}  // namespace forms
