#pragma once

// Sub-commands that publish a widget without a window or a display
// ("vellwick-glimmerkey code mine.tvt"), on the same publishing code as the
// window's commands, with the window's messages on standard error.

// Whether `word`, the program's first argument, names a sub-command.
bool IsSubCommand(const char* word);
// A first word that is no file and looks like a mistyped command: says so,
// with the nearest command, and gives the usage status; -1 for any other.
int RejectUnknownCommand(const char* word);

// Runs the sub-command argv[1]; the exit status: 0 done, 1 failed, 2 usage.
int RunSubCommand(int argc, char** argv);

// The sub-commands' lines for the program's own --help.
const char* SubCommandSummary();
