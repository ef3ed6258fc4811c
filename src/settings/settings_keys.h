#pragma once

// The names on disk are defined once, beside the values they hold.
#include "settings/settings.h"
