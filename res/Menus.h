#pragma once

#include "framework/MenuResource.h"
#include "framework/ToolBar.h"

// The main window's menu bar, accelerator table and tool bar (resource 128).
QVector<framework::MenuResource> MainMenu();
QVector<framework::Accelerator> MainAccelerators();
QVector<framework::ToolBarButton> MainToolBar();
