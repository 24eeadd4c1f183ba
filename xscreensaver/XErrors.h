#pragma once

// X errors are said on stderr and end the hack with status 1 after the frame, through
// its usual teardown, instead of Xlib's default exit from inside the handler.
void InstallXErrorHandler();
bool XErrorSeen();
