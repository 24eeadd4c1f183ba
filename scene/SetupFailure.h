#pragma once

#include <optional>
#include <string>

// Why a context or the scene's set-up in it failed, in the words the window's error box
// shows; nothing when it worked. Every context and the scene's set-up report this way.
using SetupFailure = std::optional<std::string>;
