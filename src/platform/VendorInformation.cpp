#include "platform/VendorInformation.h"

namespace {

std::function<void(int)>& installedOpener()
{
    static std::function<void(int)> opener;
    return opener;
}

}  // namespace

void ShowVendorInformation(int vendor)
{
    // A copy, so that the window may replace the opener while it is open.
    const std::function<void(int)> opener = installedOpener();
    if (opener)
        opener(vendor);
}

void installVendorInformation(std::function<void(int vendor)> opener)
{
    installedOpener() = std::move(opener);
}
