#pragma once

namespace platform {

// Reading the system's font configuration is about a third of start-up.
// Started first thing, it runs on another processor while the program builds
// what needs no text; the first text measured waits for it. On a single
// processor nothing is started and the toolkit reads it when first asked.
void StartFontConfigWarmUp();

// Called before the first text is measured, so that Qt does not read the
// configuration a second time beside the warm-up. Returns at once when the
// warm-up has finished or was never started.
void WaitForFontConfig();

} // namespace platform
