// Update: replaces an installed Keldoran and its profile library by the
// versions in the update package of the current folder. No arguments; the
// exit code is always 0.
#include "updater/Console.h"

int main(int argc, char** argv) { return updater::RunUpdateProgram(argc, argv); }
