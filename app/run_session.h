#pragma once

class ProgramOptions;
class Translations;

// A session file carried out without a window: the exit code.
int runSession(const ProgramOptions &options, Translations &translations);
