// The File menu's blank template; its texts are with the window's others.
#pragma once

#include "app/window_texts.hpp"
