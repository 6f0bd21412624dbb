#pragma once

class ProgramOptions;
class Translations;

// The panel's window on the board line until it ends: the exit code.
int runWindow(int &argc, char **argv, const ProgramOptions &options, Translations &translations);
