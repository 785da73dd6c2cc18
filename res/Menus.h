#pragma once

#include "framework/MenuResource.h"

// The main window's menu bar.
QVector<framework::MenuResource> MainMenu();
