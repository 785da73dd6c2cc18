#include "supportfiles/SupportFilesDlg.h"
