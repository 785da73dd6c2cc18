#pragma once

// Registers the custom controls that templates name by class, so that
// dialogs and form views place them like any other control. Called once at
// start-up, before the first template is built.
void RegisterControlClasses();
