// Window icons from the program's icon resources.
#pragma once

#include "framework/Template.h"
#include "framework/win32/Win32Api.h"

namespace morvex::fw::win32 {

// The icon at `size` pixels square: the module's own icon resource of that ID when the
// program carries it (the real resource, as the version record is), otherwise drawn from
// the resource data. Null for a null icon. The handle lives as long as the program.
HICON IconFor(IconHandle icon, int size);

// Releases every icon handed out (at the backend's end).
void ReleaseIcons();

}  // namespace morvex::fw::win32
