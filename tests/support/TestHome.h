#pragma once
#include <QString>

// Points XDG_CONFIG_HOME and HOME at a fresh temporary folder for the whole
// test run, so that registry hives and profiles never reach the developer's
// own. Call before anything reads the configuration folder.
QString useTemporaryHome();
