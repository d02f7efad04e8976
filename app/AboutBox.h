// Help > About: the modal box with the program's icon, name, version and web-site link.
#pragma once

#include "Window.h"

void ShowAboutBox(Window& owner);
