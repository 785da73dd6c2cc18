#include "framework/View.h"
