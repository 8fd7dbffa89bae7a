#pragma once

// A model header that reaches up into the windows: the layers test must refuse it.
#include "ui/main_window.h"
