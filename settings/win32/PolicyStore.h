#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "settings/Policies.h"

// The policy key under `root` (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER), opened for
// reading only; empty when there is none. The computer's is read in the 64-bit view,
// which Group Policy writes, so the 32-bit saver on 64-bit Windows reads the same key.
PolicyKey ReadPolicyKey(HKEY root);

// The computer's and the user's policies, resolved.
Policies ReadPolicies();
