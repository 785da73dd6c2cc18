#include "framework/Dialog.h"
