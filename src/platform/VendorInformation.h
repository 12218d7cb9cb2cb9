#pragma once

#include <functional>

// Before a purchase order prints, the user may edit its data (purchase-order number, notes,
// shipping) in the centre and vendor information window, opened modal on the vendor's tab.
// The window belongs to the application layer, which installs it at start; the screens and the
// report commands below it call ShowVendorInformation.

// Opens the window modal on vendor's tab (1, 2 or 3) and returns once it has closed. Does nothing
// while no window is installed.
void ShowVendorInformation(int vendor);

// The application installs the window here; an empty function removes it. Tests install a fake.
void installVendorInformation(std::function<void(int vendor)> opener);
