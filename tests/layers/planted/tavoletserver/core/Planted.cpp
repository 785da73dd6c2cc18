#include "widget/Tavolet.h"
