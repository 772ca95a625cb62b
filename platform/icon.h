#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "resources/catalogue.h"

namespace vemol::platform {

// The program's icon (group 118's one 32 x 32, 16-colour image) as a pixbuf with the
// mask as transparency, or null when the resource is missing or malformed.
GdkPixbuf* LoadProgramIcon(const resources::Catalogue& catalogue);

}  // namespace vemol::platform
